#include "import/FileTransaction.h"

namespace {

constexpr std::size_t kMaxMessage = 511;

} // namespace

void FileTransaction::Fail(const CException& e) {
    failure_ = e.GetErrorMessage(kMaxMessage);
    transaction_.reset();
}

std::optional<std::string> FileTransaction::Commit() {
    Run([] {});
    if (failure_)
        return failure_;
    try {
        transaction_->Commit();
    } catch (const CException& e) {
        Fail(e);
    }
    return failure_;
}
