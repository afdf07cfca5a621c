// Opening an item through the shell, optionally waiting for the program it starts.
#pragma once

#include <cstdint>
#include <string>

namespace Start::modShellExecute {

// Opens `strFile` with the verb "open" and `strParameters`, owned by window
// `lngOwner`, shown with `lngShow`, in `strDirectory` (none when empty).
// With `blnWait`, returns once the started process has ended.
void ExecuteFile(const std::u16string& strFile, const std::u16string& strParameters, std::int32_t lngOwner,
                 std::int32_t lngShow, const std::u16string& strDirectory, bool blnWait);

}  // namespace Start::modShellExecute
