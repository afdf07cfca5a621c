// The console conventions the fake reports: Windows' (CR LF, lone LF inside
// a line, programs named with ".exe") unless a test asks for the native ones.
#pragma once

namespace fake {

// Natively: LF line ends, a lone LF ends a line, programs named without an
// ending, exit statuses and the reserved tails --help and --version (see
// platform/console.h). Reset() goes back to Windows' conventions.
void UseNativeConsoleConventions();

}  // namespace fake
