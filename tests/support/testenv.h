#pragma once
// What the shared test main sets up for every test process.

#include <string>

// The process's own temporary directory (TMPDIR points at it); it must be
// empty when the tests end.
const std::string& TestTmpDir();
