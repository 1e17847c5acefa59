#include "job/job_file.h"

#include "base/atomic_file.h"
#include "base/hex_text.h"
#include "base/sha256.h"
#include "base/text_lines.h"

#include <charconv>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>

namespace zz {

namespace {

const std::string kHeader =
    "# ZE-ZUZU production job, made by ze-zuzu-cli job create.\n"
    "# The lines of [image] must hash to its sha256: make the job anew to change the image.\n";

const char* flag(bool on) {
    return on ? "1" : "0";
}

std::string steps_text(const JobSteps& s) {
    std::string text;
    const std::pair<bool, const char*> steps[] = {{s.blank, "blank"}, {s.erase, "erase"},
                                                  {s.eeprom, "eeprom"}, {s.rom, "rom"},
                                                  {s.fuses, "fuses"}, {s.verify, "verify"}};
    for (const auto& [on, name] : steps)
        if (on)
            text += (text.empty() ? "" : ",") + std::string(name);
    return text;
}

std::string region_name(const SerialSettings& s) {
    switch (serial_region(s)) {
    case SerialRegion::rom:
        return "rom";
    case SerialRegion::eeprom:
        return "eeprom";
    case SerialRegion::id:
        break;
    }
    return "id";
}

void serial_section(std::ostringstream& out, const JobSerial& serial) {
    const SerialSettings& s = serial.settings;
    out << "\n[serial]\nregion=" << region_name(s) << "\n";
    if (serial_region(s) != SerialRegion::id)
        out << "start=" << to_hex(static_cast<std::uint32_t>(s.inc_start_add), 4)
            << "\nend=" << to_hex(static_cast<std::uint32_t>(s.inc_end_add), 4) << "\n";
    out << "step=" << s.inc_step << "\nformat=" << (s.inc_16bit ? "hex" : "dec")
        << "\nfrom_high=" << flag(s.inc_hiadd) << "\nlow_byte=" << flag(s.inc_nohigh)
        << "\nsequence=" << serial.sequence << "\n";
}

} // namespace

std::string job_file_text(const Job& job, bool with_name) {
    return kHeader + job_content_text(job, with_name);
}

std::string job_content_text(const Job& job, bool with_name) {
    std::ostringstream out;
    out << "\n[job]\n";
    if (with_name)
        out << "name=" << job.name << "\n";
    if (job.quantity)
        out << "quantity=" << *job.quantity << "\n";
    out << "require_lot=" << flag(job.require_lot) << "\n";
    for (const std::string& note : job.notes)
        out << "note=" << note << "\n";
    out << "\n[chip]\nmodel=" << job.model << "\nfamily=" << job.family << "\nchip=" << job.chip
        << "\n";
    out << "\n[program]\nsteps=" << steps_text(job.steps) << "\nicsp=" << flag(job.icsp)
        << "\nvpp_first=" << flag(job.vpp_first) << "\nchip_check=" << flag(job.chip_check)
        << "\nosccal_from=" << (job.osccal_from_chip ? "chip" : "file") << "\n";
    if (!job.fuses.empty() || job.id) {
        out << "\n[fuses]\n";
        for (const std::string& set : job.fuses)
            out << "set=" << set << "\n";
        if (job.id)
            out << "id=" << *job.id << "\n";
    }
    if (job.serial.enabled)
        serial_section(out, job.serial);
    if (!job.preserve.empty()) {
        out << "\n[preserve]\n";
        for (const PreservedRange& range : job.preserve)
            out << "range=" << preserved_range_text(range) << "\n";
    }
    out << "\n[image]\nfile=" << job.image_name << "\nsha256=" << sha256_hex(job.image_hex)
        << "\n";
    for (const std::string& record : split_lines(job.image_hex))
        out << record << "\n";
    return out.str();
}

JobError JobFile::error(const std::string& key, const std::string& message) const {
    if (const auto found = line_of.find(key); found != line_of.end())
        return JobError(file, found->second, message);
    // A setting left out: the first line of its section.
    const std::string section = key.substr(0, key.find('.') + 1);
    int line = 0;
    for (const auto& [other, at] : line_of)
        if (other.starts_with(section) && (line == 0 || at < line))
            line = at;
    return JobError(file, line, message);
}

namespace {

// One key of a section: whether it may come more than once, and what it does with a value.
struct KeyRule {
    const char* section;
    const char* key;
    bool repeats;
    std::function<void(Job&, const std::string&)> take; // throws JobError (no line)
};

bool flag_value(const std::string& value) {
    if (value != "0" && value != "1")
        throw JobError("takes 0 or 1, not \"" + value + "\"");
    return value == "1";
}

std::int64_t number_value(const std::string& value, std::int64_t least, int base = 10) {
    std::string_view digits = value;
    if (base == 16 && (digits.starts_with("0x") || digits.starts_with("0X")))
        digits.remove_prefix(2);
    std::int64_t n = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), n, base);
    if (digits.empty() || ec != std::errc{} || end != digits.data() + digits.size() || n < least)
        throw JobError(std::string("takes a ") + (base == 16 ? "hex " : "") + "number from " +
                       std::to_string(least) + ", not \"" + value + "\"");
    return n;
}

JobSteps steps_value(const std::string& value) {
    JobSteps steps{false, false, false, false, false, false};
    std::istringstream items(value);
    std::string item;
    const std::pair<const char*, bool JobSteps::*> names[] = {
        {"blank", &JobSteps::blank}, {"erase", &JobSteps::erase}, {"eeprom", &JobSteps::eeprom},
        {"rom", &JobSteps::rom},     {"fuses", &JobSteps::fuses}, {"verify", &JobSteps::verify}};
    while (std::getline(items, item, ',')) {
        bool known = false;
        for (const auto& [name, member] : names)
            if (item == name)
                known = steps.*member = true;
        if (!known)
            throw JobError("takes blank,erase,eeprom,rom,fuses,verify, not \"" + item + "\"");
    }
    return steps;
}

void set_region(Job& job, const std::string& value) {
    SerialSettings& s = job.serial.settings;
    if (value != "rom" && value != "eeprom" && value != "id")
        throw JobError("takes rom, eeprom or id, not \"" + value + "\"");
    s.inc_rom = value == "rom";
    s.inc_eeprom = value == "eeprom";
    if (value == "id")
        s.inc_start_add = s.inc_end_add = -1;
}

std::int32_t address_value(const std::string& value) {
    return static_cast<std::int32_t>(number_value(value, 0, 16));
}

const std::vector<KeyRule>& key_rules() {
    static const std::vector<KeyRule> rules = {
        {"job", "name", false, [](Job& j, const std::string& v) { j.name = v; }},
        {"job", "quantity", false,
         [](Job& j, const std::string& v) { j.quantity = number_value(v, 1); }},
        {"job", "require_lot", false,
         [](Job& j, const std::string& v) { j.require_lot = flag_value(v); }},
        {"job", "note", true, [](Job& j, const std::string& v) { j.notes.push_back(v); }},
        {"chip", "model", false,
         [](Job& j, const std::string& v) { j.model = static_cast<int>(number_value(v, 1)); }},
        {"chip", "family", false, [](Job& j, const std::string& v) { j.family = v; }},
        {"chip", "chip", false, [](Job& j, const std::string& v) { j.chip = v; }},
        {"program", "steps", false, [](Job& j, const std::string& v) { j.steps = steps_value(v); }},
        {"program", "icsp", false, [](Job& j, const std::string& v) { j.icsp = flag_value(v); }},
        {"program", "vpp_first", false,
         [](Job& j, const std::string& v) { j.vpp_first = flag_value(v); }},
        {"program", "chip_check", false,
         [](Job& j, const std::string& v) { j.chip_check = flag_value(v); }},
        {"program", "osccal_from", false,
         [](Job& j, const std::string& v) {
             if (v != "chip" && v != "file")
                 throw JobError("takes chip or file, not \"" + v + "\"");
             j.osccal_from_chip = v == "chip";
         }},
        {"fuses", "set", true,
         [](Job& j, const std::string& v) {
             if (v.find('=') == std::string::npos)
                 throw JobError("takes SETTING=OPTION, not \"" + v + "\"");
             j.fuses.push_back(v);
         }},
        {"fuses", "id", false, [](Job& j, const std::string& v) { j.id = v; }},
        {"serial", "region", false, set_region},
        {"serial", "start", false,
         [](Job& j, const std::string& v) { j.serial.settings.inc_start_add = address_value(v); }},
        {"serial", "end", false,
         [](Job& j, const std::string& v) { j.serial.settings.inc_end_add = address_value(v); }},
        {"serial", "step", false,
         [](Job& j, const std::string& v) {
             j.serial.settings.inc_step = static_cast<std::int32_t>(number_value(v, 0));
         }},
        {"serial", "format", false,
         [](Job& j, const std::string& v) {
             if (v != "hex" && v != "dec")
                 throw JobError("takes hex or dec, not \"" + v + "\"");
             j.serial.settings.inc_16bit = v == "hex";
         }},
        {"serial", "from_high", false,
         [](Job& j, const std::string& v) { j.serial.settings.inc_hiadd = flag_value(v); }},
        {"serial", "low_byte", false,
         [](Job& j, const std::string& v) { j.serial.settings.inc_nohigh = flag_value(v); }},
        {"serial", "sequence", false, [](Job& j, const std::string& v) { j.serial.sequence = v; }},
        {"preserve", "range", true,
         [](Job& j, const std::string& v) { j.preserve.push_back(parse_preserved_range(v)); }},
        {"image", "file", false, [](Job& j, const std::string& v) { j.image_name = v; }},
        {"image", "sha256", false, [](Job&, const std::string&) {}}, // checked at the end
    };
    return rules;
}

const KeyRule* find_rule(const std::string& section, const std::string& key) {
    for (const KeyRule& rule : key_rules())
        if (section == rule.section && key == rule.key)
            return &rule;
    return nullptr;
}

class JobReader {
public:
    JobReader(const std::string& file, const std::string& default_name) {
        out_.file = file;
        out_.job.name = default_name;
        out_.job.chip.clear();
    }

    void line(std::string_view raw) {
        ++number_;
        const std::string text = trimmed(raw);
        if (section_ == "image" && text.starts_with(":")) {
            image_ += text + "\r\n";
            out_.line_of.emplace("image", number_);
            return;
        }
        if (text.empty() || text.starts_with("#") || text.starts_with(";"))
            return;
        if (text.starts_with("["))
            return open_section(text);
        setting(text);
    }

    JobFile finish() {
        for (const char* required : {"chip.model", "chip.chip", "image.sha256"})
            if (!out_.line_of.count(required))
                throw JobError(out_.file, 0, std::string("no ") + required + " setting");
        if (sha256_hex(image_) != recorded_sha256_)
            throw out_.error("image.sha256",
                             "the embedded image does not match its recorded sha256 (" +
                                 recorded_sha256_ + "): it was changed after the job was made");
        out_.job.image_hex = image_;
        if (out_.line_of.count("serial.region"))
            out_.job.serial.enabled = true;
        return std::move(out_);
    }

private:
    void open_section(const std::string& text) {
        const std::string name = text.size() > 2 && text.back() == ']'
                                     ? text.substr(1, text.size() - 2)
                                     : std::string();
        static const std::set<std::string> known = {"job",    "chip",     "program", "fuses",
                                                    "serial", "preserve", "image"};
        if (!known.count(name))
            throw fault("unknown section " + text);
        if (!seen_sections_.insert(name).second)
            throw fault("the section " + text + " comes twice");
        section_ = name;
    }

    void setting(const std::string& text) {
        const auto eq = text.find('=');
        if (section_.empty() || eq == std::string::npos)
            throw fault("\"" + text + "\" is not a KEY=VALUE line of a section");
        const std::string key = trimmed(text.substr(0, eq));
        const std::string value = trimmed(text.substr(eq + 1));
        const KeyRule* rule = find_rule(section_, key);
        if (!rule)
            throw fault("unknown key \"" + key + "\" in [" + section_ + "]");
        std::string id = section_ + "." + key;
        int& count = counts_[id];
        if (count > 0 && !rule->repeats)
            throw fault("the key \"" + key + "\" comes twice in [" + section_ + "]");
        if (count > 0)
            id += "." + std::to_string(count);
        ++count;
        out_.line_of.emplace(id, number_);
        if (id == "image.sha256")
            recorded_sha256_ = value;
        try {
            rule->take(out_.job, value);
        } catch (const JobError& e) {
            throw fault(key + " " + e.what());
        }
    }

    JobError fault(const std::string& message) const {
        return JobError(out_.file, number_, message);
    }

    JobFile out_;
    int number_ = 0;
    std::string section_;
    std::set<std::string> seen_sections_;
    std::map<std::string, int> counts_;
    std::string image_;
    std::string recorded_sha256_;
};

} // namespace

JobFile parse_job_text(std::string_view text, const std::string& file,
                       const std::string& default_name) {
    JobReader reader(file, default_name);
    for (const std::string& line : split_lines(text))
        reader.line(line);
    return reader.finish();
}

std::string job_name_of(const std::filesystem::path& path) {
    std::string name = path.filename().string();
    if (name.ends_with(".zzjob"))
        name.resize(name.size() - 6);
    return name;
}

JobFile read_job_file(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw JobError(path.string(), 0, "cannot be read");
    std::ostringstream text;
    text << in.rdbuf();
    return parse_job_text(text.str(), path.string(), job_name_of(path));
}

void write_job_file(const std::filesystem::path& path, const Job& job, bool with_name) {
    write_file_atomically(path, job_file_text(job, with_name));
}

} // namespace zz
