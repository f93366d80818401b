#pragma once
// What the shared test main sets up for every test process.

#include <string>

// The process's own temporary directory (TMPDIR points at it); it must be
// empty when the tests end.
const std::string& TestTmpDir();
// The process's own state directory (XDG_STATE_HOME points at it), where
// recordings are captured; it must hold no files when the tests end.
const std::string& TestStateDir();
