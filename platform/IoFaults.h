#pragma once

#include <filesystem>
#include <functional>

namespace tl {

/// Failing-I/O seam for tests. While a hook is installed, every write made through this layer's
/// file writers asks it first; a non-zero errno from the hook fails that write with that error, as
/// a full disk or a pulled cable would.
using WriteFaultHook = std::function<int(const std::filesystem::path& target)>;

void SetWriteFaultHook(WriteFaultHook hook);

/// errno to fail a write to target with, or 0 to let it go ahead.
int WriteFaultFor(const std::filesystem::path& target);

/// Installs a hook for the lifetime of the object.
class ScopedWriteFault {
public:
    explicit ScopedWriteFault(WriteFaultHook hook) { SetWriteFaultHook(std::move(hook)); }
    ScopedWriteFault(const ScopedWriteFault&) = delete;
    ScopedWriteFault& operator=(const ScopedWriteFault&) = delete;
    ~ScopedWriteFault() { SetWriteFaultHook(nullptr); }
};

} // namespace tl
