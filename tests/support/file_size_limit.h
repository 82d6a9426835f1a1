#pragma once
#include <functional>

// Runs fn while the system refuses to let this process write files beyond
// maxBytes, as a full disk would make a write fail half-way. Returns false
// when the limit could not be set (fn has not run then).
bool WithFileSizeLimit(long maxBytes, const std::function<void()>& fn);
