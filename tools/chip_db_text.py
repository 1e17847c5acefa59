"""Captions and option texts of the fuse-editor rows written by gen_chip_db.py.

The texts are short (the editor's caption column is 130 pixels wide) and uniform across
chips: one caption per configuration field name, "On"/"Off" for switches (for a disable bit,
what the feature does), "1:N" for prescalers and the trip voltage for brown-out levels.
"""

import re

CAPTIONS = {
    "OSC": "Oscillator", "FOSC": "Oscillator", "FOSC0": "Oscillator", "FOSC2": "Oscillator 2",
    "WDT": "Watchdog Timer", "WDTE": "Watchdog Timer", "WDTEN": "Watchdog Timer",
    "WDTPS": "Watchdog Postscale", "WDPS": "Watchdog Postscale",
    "WINEN": "Watchdog Window", "CP": "Code Protect", "CPD": "Data EE Protect",
    "CPDF": "Data Flash Protect", "CPSW": "Code Protect SW", "MCLRE": "MCLR Enable",
    "MCLR": "MCLR Enable", "IOSCFS": "Int. Osc. Speed", "MCPU": "MCLR Pull-up",
    "BOREN": "Brown-out Reset", "BOR": "Brown-out Reset", "BORSEN": "Brown-out SW Enable",
    "BORV": "Brown-out Voltage", "BODENV": "Brown-out Voltage", "BOR4V": "Brown-out Voltage",
    "BORPWR": "Brown-out Power", "LPBOR": "Low-Power BOR", "LPBOREN": "Low-Power BOR",
    "nLPBOR": "Low-Power BOR", "PWRTE": "Power-up Timer", "PWRT": "Power-up Timer",
    "PWRTEN": "Power-up Timer", "nPWRTEN": "Power-up Timer", "LVP": "Low-Voltage Prog.",
    "WRT": "Flash Write Protect", "WRTEN": "Flash Write Protect",
    "CLKOUTEN": "Clock Out", "STVREN": "Stack Reset", "STVR": "Stack Reset",
    "PLLEN": "4x PLL", "CFGPLLEN": "PLL Enable", "PLLCFG": "4x PLL", "PLLSEL": "PLL Multiplier",
    "PLLMULT": "PLL Multiplier", "PLLDIV": "PLL Prescale", "CPUDIV": "CPU Clock Divide",
    "USBDIV": "USB Clock Divide", "USBLSCLK": "USB LS Clock", "LS48MHZ": "USB 48 MHz Clock",
    "DEBUG": "Debugger", "IESO": "Osc. Switchover", "FCMEN": "Fail-Safe Clock Mon.",
    "FSCM": "Fail-Safe Clock Mon.", "OSCS": "Osc. Switch", "PARITY": "Parity Bit",
    "WURE": "Wake-up Reset", "VCAPEN": "VCAP Pin", "PPS1WAY": "PPS One-Way Lock",
    "ZCDDIS": "Zero-Cross Detect", "DRTEN": "Device Reset Timer", "CCP2MX": "CCP2 Pin",
    "CCPMX": "CCP1 Pin", "CCP3MX": "CCP3 Pin", "P2BMX": "P2B Pin", "T3CMX": "T3CKI Pin",
    "T1OSCMX": "T1OSO Pin", "T0CKMX": "T0CKI Pin", "T3CKMX": "T3CKI Pin", "SDOMX": "SDO Pin",
    "SSPMX": "MSSP Pins", "PWM4MX": "PWM4 Pin", "EXCLKMX": "T0/T5 Clock Pin",
    "FLTAMX": "FLTA Pin", "ECCPMX": "ECCP Pins", "CANMX": "CAN Pins", "PWMPIN": "PWM Pins",
    "LPOL": "PWM Low Polarity", "HPOL": "PWM High Polarity", "BBSIZ": "Boot Block Size",
    "XINST": "Extended Instr.", "PCLKEN": "Primary Clock", "PRICLKEN": "Primary Clock",
    "HFOFST": "HFINTOSC Fast Start", "PBAD": "PORTB A/D", "PBADEN": "PORTB A/D",
    "LPT1OSC": "Timer1 Low Power", "VREGEN": "USB Regulator", "ICPRT": "ICPORT",
    "RETEN": "Low-Power Regulator", "INTOSCSEL": "LF-INTOSC Sleep", "SOSCSEL": "SOSC Mode",
    "MSSPMSK": "MSSP Address Mask", "RTCOSC": "RTCC Clock", "PM": "Processor Mode",
    "MODE": "Processor Mode", "BW": "Data Bus Width", "WAIT": "Bus Wait States",
    "ADDRBW": "Address Bus Width", "DATABW": "Data Bus Width", "ABW": "Address Bus Width",
    "EASHFT": "Address Shift", "EBTR": "Table Read Protect", "CPB": "Code Protect Boot",
    "WRTB": "Write Protect Boot", "WRTC": "Write Protect Config", "WRTD": "Write Protect EE",
    "EBTRB": "Table Read Prot. Boot", "EBRTB": "Table Read Prot. Boot",
}

NUMBERED = (
    (re.compile(r"^CP(\d)$"), "Code Protect Blk %s"),
    (re.compile(r"^WRT(\d)$"), "Write Protect Blk %s"),
    (re.compile(r"^EB(?:TR|RT)(\d)$"), "Table Read Prot. Blk %s"),
)

SWITCH_WORDS = {
    "ON": "On", "OFF": "Off", "ENABLE": "On", "DISABLE": "Off", "ENABLED": "On",
    "DISABLED": "Off", "EN": "On", "DIS": "Off", "HI": "High", "LO": "Low", "HIGH": "High",
    "LOW": "Low", "MEDIUM": "Medium", "EXTRC": "RC", "ExtRC": "RC", "IntRC": "INTRC",
}

PRESCALERS = {"WDTPS", "WDPS", "DSWDTPS"}
BROWN_OUT_LEVELS = {"BORV", "BODENV", "BOR4V"}


def caption_for(field):
    if field in CAPTIONS:
        return CAPTIONS[field]
    for pattern, text in NUMBERED:
        m = pattern.match(field)
        if m:
            return text % m.group(1)
    return field


def _option_text(field, row):
    option = row["option"]
    if field in PRESCALERS and re.fullmatch(r"\d+K?", option):
        return "1:" + option
    if field in BROWN_OUT_LEVELS:
        volts = re.search(r"(\d+\.\d+)\s*V", row["comment"])
        if volts:
            return volts.group(1) + "V"
    return SWITCH_WORDS.get(option, option)


# A field named for disabling something (ZCDDIS): its bit set, the erased value, switches the
# feature off.
DISABLE_FIELD = re.compile(r"DIS\d*$")


def _disable_bit_texts(field, rows, texts):
    """The On/Off of a disable bit says what the feature does, whatever the table's ON/OFF
    (which may name the disabling) says: cleared it is on, set it is off. None when the
    field is no two-way disable switch."""
    if not DISABLE_FIELD.search(field) or sorted(texts) != ["Off", "On"]:
        return None
    masks = [int(r["mask"], 16) for r in rows]
    return ["Off" if m == max(masks) else "On" for m in masks]


def option_texts(field, rows):
    """Texts for the options of one field, in order. The readable forms are used only
    when they stay distinct; otherwise the table's own option names are kept."""
    texts = [_option_text(field, r) for r in rows]
    texts = _disable_bit_texts(field, rows, texts) or texts
    if len(set(t.upper() for t in texts)) != len(texts):
        texts = [r["option"] for r in rows]
    return [t.replace('"', "'") for t in texts]
