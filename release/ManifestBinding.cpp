#include "release/ManifestBinding.h"

#include "app/ManifestObjects.h"

#include <climits>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

using ManifestList = std::vector<std::unique_ptr<XCurrentVersion>>;

constexpr XmlRuntimeClass kCurrentVersionClass = XmlClassOf<XCurrentVersion>("XCurrentVersion");
constexpr XmlRuntimeClass kModuleClass = XmlClassOf<XModule>("XModule");
constexpr XmlRuntimeClass kSupportFileClass = XmlClassOf<XSupportFile>("XSupportFile");
constexpr XmlRuntimeClass kAlertClass = XmlClassOf<XAlert>("XAlert");

// An empty text is "not applicable"; anything else goes through the date parser, and text it
// cannot read leaves the field as it was (UNKNOWN).
void SetDate(CPackedDate& date, const std::string& text) {
    if (text.empty()) {
        date = CPackedDate::NotApplicable();
        return;
    }
    date.FromText(text);
}

template <class Object, std::string Object::*Field>
void SetString(void* target, const std::string& value) {
    static_cast<Object*>(target)->*Field = value;
}

template <class Object, std::int32_t Object::*Field>
void SetInteger(void* target, const std::string& value) {
    static_cast<Object*>(target)->*Field = ManifestInteger(value);
}

template <class Object, CPackedDate Object::*Field>
void SetDateField(void* target, const std::string& value) {
    SetDate(static_cast<Object*>(target)->*Field, value);
}

void AttachCurrentVersion(void* target, XmlObject object) {
    static_cast<ManifestList*>(target)->push_back(XmlTakeObject<XCurrentVersion>(object));
}
void AttachModule(void* target, XmlObject object) {
    static_cast<XCurrentVersion*>(target)->Modules.push_back(XmlTakeObject<XModule>(object));
}
void AttachSupportFile(void* target, XmlObject object) {
    static_cast<XCurrentVersion*>(target)->SupportFiles.push_back(XmlTakeObject<XSupportFile>(object));
}
void AttachAlert(void* target, XmlObject object) {
    static_cast<XCurrentVersion*>(target)->Alerts.push_back(XmlTakeObject<XAlert>(object));
}

constexpr XmlBinding TextRow(const char* name, XmlSetTextFunction setText) {
    XmlBinding row;
    row.name = name;
    row.setText = setText;
    return row;
}

constexpr XmlBinding ClassRow(const char* name, const XmlRuntimeClass* runtimeClass, XmlAttachFunction attach,
                              const XmlBinding* childTable, int childCount) {
    XmlBinding row;
    row.childTable = childTable;
    row.childCount = childCount;
    row.name = name;
    row.runtimeClass = runtimeClass;
    row.attach = attach;
    return row;
}

constexpr XmlBinding kModuleRows[] = {
    TextRow("Name", SetString<XModule, &XModule::Name>),
    TextRow("Description", SetString<XModule, &XModule::Description>),
    TextRow("Version", SetString<XModule, &XModule::Version>),
    TextRow("Remarks", SetString<XModule, &XModule::Remarks>),
    TextRow("State", SetString<XModule, &XModule::State>),
    TextRow("Flags", SetInteger<XModule, &XModule::Flags>),
    TextRow("Size", SetString<XModule, &XModule::Size>),
    TextRow("Sha256", SetString<XModule, &XModule::Sha256>),
};

constexpr XmlBinding kSupportFileRows[] = {
    TextRow("Name", SetString<XSupportFile, &XSupportFile::Name>),
    TextRow("Description", SetString<XSupportFile, &XSupportFile::Description>),
    TextRow("Date", SetDateField<XSupportFile, &XSupportFile::Date>),
    TextRow("Time", SetString<XSupportFile, &XSupportFile::Time>),
    TextRow("Remarks", SetString<XSupportFile, &XSupportFile::Remarks>),
    TextRow("State", SetString<XSupportFile, &XSupportFile::State>),
    TextRow("Flags", SetInteger<XSupportFile, &XSupportFile::Flags>),
    TextRow("Size", SetString<XSupportFile, &XSupportFile::Size>),
    TextRow("Sha256", SetString<XSupportFile, &XSupportFile::Sha256>),
};

constexpr XmlBinding kAlertRows[] = {
    TextRow("ID", SetString<XAlert, &XAlert::ID>),
    TextRow("Effective", SetDateField<XAlert, &XAlert::Effective>),
    TextRow("Expires", SetDateField<XAlert, &XAlert::Expires>),
    TextRow("Level", SetString<XAlert, &XAlert::Level>),
    TextRow("Text", SetString<XAlert, &XAlert::Text>),
};

constexpr XmlBinding kCurrentVersionRows[] = {
    ClassRow("Module", &kModuleClass, AttachModule, kModuleRows, std::size(kModuleRows)),
    ClassRow("SupportFile", &kSupportFileClass, AttachSupportFile, kSupportFileRows,
             std::size(kSupportFileRows)),
    ClassRow("Alert", &kAlertClass, AttachAlert, kAlertRows, std::size(kAlertRows)),
    TextRow("DatabaseLevel", SetInteger<XCurrentVersion, &XCurrentVersion::DatabaseLevel>),
    TextRow("UpdateLevel", SetInteger<XCurrentVersion, &XCurrentVersion::UpdateLevel>),
};

} // namespace

constexpr XmlBinding kManifestBinding[] = {
    ClassRow("CurrentVersion", &kCurrentVersionClass, AttachCurrentVersion, kCurrentVersionRows,
             std::size(kCurrentVersionRows)),
};

int ManifestInteger(const std::string& text) {
    const long long value = std::strtoll(text.c_str(), nullptr, 10);
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}
