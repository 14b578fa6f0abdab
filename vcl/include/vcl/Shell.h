// The desktop's open-with-the-registered-program service, behind
// ShellExecuteA on systems other than Windows.
#pragma once

#include "vcl/SysUtils.h"

#include <functional>

namespace vcl {

// Opens the file at the absolute `path` with the program registered for its
// type, without waiting for that program. Returns a ShellExecuteA result:
// above 32 when the request was handed on.
using TDesktopOpener = std::function<int(const String &path)>;

// Replaces the opener (tests record requests this way); an empty function
// restores the desktop's own.
void SetDesktopOpener(TDesktopOpener opener);

// The desktop's own opener: xdg-open, started detached in a session of its
// own, with the path as its one argument, no shell in between, standard
// input from /dev/null and no descriptor of ours but standard output and
// error.
int OpenWithXdgOpen(const String &path);

// Keeps a copy of the environment as the process received it, before the
// layer adjusts its own; programs the layer starts get that copy.
void CaptureStartupEnvironment();

} // namespace vcl
