// The application title: it names the handset family and captions message
// boxes. (Qt's display name is left unset: on X11 it would be appended to
// every window caption.)
#pragma once

inline constexpr const char* kApplicationTitle = "Nokia NMT Service Tool";
