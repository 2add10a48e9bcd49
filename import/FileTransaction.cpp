#include "import/FileTransaction.h"

void FileTransaction::Fail(const CException& e) {
    failure_ = e.GetErrorMessage(tl::kMaxMessage);
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
