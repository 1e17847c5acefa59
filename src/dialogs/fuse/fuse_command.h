#pragma once

#include "app/session.h"
#include "dialogs/fuse/fuse_editor.h"

#include <functional>
#include <set>
#include <string>

namespace zz {

// The "Fuses" button and "&View/Edit Fuses And ID": the fuse editor over the session's chip and
// buffer. Lives as long as the window (or the command line run) that offers it.
class FuseCommand {
public:
    explicit FuseCommand(Session& session) : session_(session) {}

    // Does nothing while an operation runs or for a serial EEPROM. Otherwise builds the editor,
    // warns once per chip about fuse lines it cannot read, and hands the editor to `show`, which
    // ends with its ok() or without (Cancel). Afterwards, either way: the BandGap label from
    // configuration word 1, pending events once, and the checksum.
    void run(const std::function<void(FuseEditor&)>& show);

private:
    void warn_unreadable(const FuseEditor& editor);
    void after_close();

    Session& session_;
    std::set<std::string> warned_; // model and chip name
};

} // namespace zz
