#pragma once

#include <string_view>

namespace corvid::session {

// Where the connection stands. One value, so that nobody has to deduce it from flags.
enum class ConnectionState {
  kNoMouse,             // nothing opened (see InaccessiblePaths for a mouse that cannot be opened)
  kOpenedUnidentified,  // opened, but no device-info answer or no layout of ours
  kWrongStorage,        // its macro storage is not the one this build serves (ErrorState)
  kIdentityRefused,     // its identity bytes are not accepted (WriteLock)
  kReadFailed,          // the full read was refused part way: the pages show what arrived, and
                        // WriteLock keeps them from writing it back until a reset, a profile load
                        // or a new read
  kConnected,           // read in full; the pages show the mouse
};

std::string_view ConnectionStateText(ConnectionState state);

}  // namespace corvid::session
