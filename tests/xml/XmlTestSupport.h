#pragma once

#include "xml/XmlDocument.h"

#include <string>
#include <vector>

namespace tltest {

/// Catches the reader's error reports for the lifetime of the object: the debug output and the
/// message box each go to a list instead of standard error and the user.
class CapturedXmlReports {
public:
    CapturedXmlReports()
        : previousOutput_(
              XmlDocument::SetDebugOutput([this](const std::string& text) { debug.push_back(text); })),
          previousBox_(
              XmlDocument::SetMessageBoxHook([this](const std::string& text) { boxes.push_back(text); })) {}
    CapturedXmlReports(const CapturedXmlReports&) = delete;
    CapturedXmlReports& operator=(const CapturedXmlReports&) = delete;
    ~CapturedXmlReports() {
        XmlDocument::SetDebugOutput(std::move(previousOutput_));
        XmlDocument::SetMessageBoxHook(std::move(previousBox_));
    }

    std::vector<std::string> debug;
    std::vector<std::string> boxes;

private:
    XmlDocument::ReportFunction previousOutput_;
    XmlDocument::ReportFunction previousBox_;
};

} // namespace tltest
