// TrashPurge: empties the recycle bin of a drive, with as much of the shell's own UI as the mode asks.
#include "console/command_line.h"
#include "console/numbers.h"
#include "platform/trash.h"
#include "tools/entry.h"
#include "tools/std_output.h"

namespace trash_purge {

constexpr std::u16string_view kHelp[] = {
    u"    TrashPurge.exe <drive> <mode>",
    u"",
    u"    Empties the recycle bin of the specified drive.",
    u"",
    u"      Mode: 0 = default.",
    u"            1 = No Windows confirmation.",
    u"            2 = No Windows confirmation; no progress UI.",
    u"            3 = No Windows confirmation; no progress UI; no sound.",
};

// The mode is compared as a number, not rounded: 1.5 is no mode at all.
// Each mode leaves out one more part of the shell's user interface.
platform::TrashOptions OptionsForMode(double mode) {
  platform::TrashOptions options;
  if (mode == 1 || mode == 2 || mode == 3) options.confirm = false;
  if (mode == 2 || mode == 3) options.show_progress = false;
  if (mode == 3) options.play_sound = false;
  return options;
}

qcp::Status Main(std::u16string_view tail, qcp::IPrintTarget&) {
  const std::vector<std::u16string> words = qcp::SplitWords(tail);
  platform::EmptyTrash(words[0], OptionsForMode(qcp::NumericValue(words[1])));
  return qcp::Status::kDone;
}

}  // namespace trash_purge

namespace qcp::entries {
// TrashPurge, as the build reads it (cmake/tool_declarations.cmake):
//   Platform: trash
//   Description: Empties the recycle bin of a drive
//   About: Empties the recycle bin of a drive: mode 0 asks first, 1 does not, 2 also shows no
//     progress, 3 also plays no sound.
//   Example: TrashPurge /home 3
//   Batch example: TrashPurge.exe C:\ 3
//   Synopsis: root mode
//   Pack page: Empties the trash belonging to the file system mounted at
//     .IR root ,
//     or every trash of the user when
//     .I root
//     is empty.
//     .I mode
//     0 asks for confirmation, shows progress and plays the trash sound;
//     1 does not ask; 2 also shows no progress; 3 also plays no sound.
//     Only entries inside the trash directories are deleted; symbolic links are
//     removed, never followed.
//     Whatever cannot be removed stays under its own name with its description.
//     One run at a time empties a trash: a second one waits up to five seconds,
//     then says so.
//     A trash whose
//     .I files
//     or
//     .I info
//     folder is another mount is refused.
extern const ToolEntry kTrashPurge{u"TrashPurge", trash_purge::kHelp, HelpRule::kExactlyTwoWords, true, &trash_purge::Main};
}  // namespace qcp::entries
