#include "tools/publish/ManifestWriter.h"

#include "xml/XmlDocument.h"
#include "xml/XmlParseContext.h"
#include "xml/XmlText.h"

#include <memory>

namespace {

// The reader takes a backslash in an attribute value for an escape and decodes the value twice,
// once while parsing and once more while binding. Doubled backslashes, and for a text that the
// second decoding would change one more level of escaping, give the setup program exactly the
// text of the description; the writer adds the level that the parser takes off.
std::string ForBinding(std::string_view text) {
    const std::string value = XmlDecodeEntities(text) == text ? std::string(text) : XmlEscapeText(text);
    std::string escaped;
    escaped.reserve(value.size());
    for (const char c : value) {
        if (c == '\\')
            escaped += '\\';
        escaped += c;
    }
    return escaped;
}

class ManifestBuilder {
public:
    std::string Text(const ReleaseDescription& release, const std::vector<PublishedEntry>& entries);

private:
    XmlElement& Add(const char* name);
    static void Set(XmlElement& element, const char* name, const std::string& value);
    static void SetIfGiven(XmlElement& element, const char* name, const std::string& value);
    void AddEntry(const PublishedEntry& published);
    void AddAlert(const ReleaseAlert& alert);

    // The factory must outlive the elements it makes, so it is declared before the document.
    XmlParseContext factory_;
    XmlDocument document_{false};
    XmlElement* root_ = nullptr;
};

XmlElement& ManifestBuilder::Add(const char* name) {
    root_->children.push_back(factory_.CreateElement(name));
    XmlElement& element = *root_->children.back();
    // The writer puts an element without text on the line of the one before it; a line break as
    // text, which the reader skips, gives every entry lines of its own, so releases diff by line.
    element.SetText("\r\n");
    return element;
}

void ManifestBuilder::Set(XmlElement& element, const char* name, const std::string& value) {
    element.attributes.push_back(std::make_unique<XmlAttribute>(name, ForBinding(value)));
}

void ManifestBuilder::SetIfGiven(XmlElement& element, const char* name, const std::string& value) {
    if (!value.empty())
        Set(element, name, value);
}

void ManifestBuilder::AddEntry(const PublishedEntry& published) {
    const ReleaseEntry& entry = *published.entry;
    XmlElement& element = Add(entry.IsModule() ? "Module" : "SupportFile");
    Set(element, "Name", entry.name);
    SetIfGiven(element, "Description", entry.description);
    if (entry.IsModule()) {
        SetIfGiven(element, "Version", published.version);
    } else {
        SetIfGiven(element, "Date", published.date);
        SetIfGiven(element, "Time", published.time);
    }
    SetIfGiven(element, "Remarks", entry.remarks);
    SetIfGiven(element, "State", entry.state);
    Set(element, "Flags", std::to_string(entry.flags));
    if (published.file) {
        Set(element, "Size", std::to_string(published.file->size));
        Set(element, "Sha256", published.file->sha256);
    }
}

void ManifestBuilder::AddAlert(const ReleaseAlert& alert) {
    XmlElement& element = Add("Alert");
    Set(element, "ID", alert.id);
    if (alert.effective)
        Set(element, "Effective", *alert.effective);
    if (alert.expires)
        Set(element, "Expires", *alert.expires);
    SetIfGiven(element, "Level", alert.level);
    SetIfGiven(element, "Text", alert.text);
}

std::string ManifestBuilder::Text(const ReleaseDescription& release,
                                  const std::vector<PublishedEntry>& entries) {
    document_.roots.push_back(factory_.CreateElement("CurrentVersion"));
    root_ = document_.roots.back().get();
    Set(*root_, "DatabaseLevel", std::to_string(release.databaseLevel));
    Set(*root_, "UpdateLevel", std::to_string(release.updateLevel));
    for (const bool modules : {true, false}) {
        for (const PublishedEntry& published : entries) {
            if (published.entry->IsModule() == modules)
                AddEntry(published);
        }
    }
    for (const ReleaseAlert& alert : release.alerts)
        AddAlert(alert);
    std::string text;
    document_.Write(text, R"(<?xml version="1.0" encoding="utf-8" ?>)");
    return text;
}

} // namespace

std::string ManifestText(const ReleaseDescription& release, const std::vector<PublishedEntry>& entries) {
    return ManifestBuilder().Text(release, entries);
}
