// Private to the OpenAL driver: what each target's file set adds to it.
#pragma once

namespace plat {

// Before the first device is opened: keeps the library's own failure reports off
// stderr unless the user asked for its log (the driver's log says it in one line).
void QuietOpenAL();

}  // namespace plat
