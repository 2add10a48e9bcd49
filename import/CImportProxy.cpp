#include "import/CImportProxy.h"

#include "app/AppGlobals.h"
#include "app/UserInterface.h"
#include "import/ImportProtocol.h"
#include "platform/Archive.h"
#include "platform/CFileException.h"
#include "platform/Format.h"
#include "platform/LastError.h"
#include "platform/NamedEvent.h"
#include "platform/ShellExecute.h"

#include <functional>
#include <optional>
#include <uuid/uuid.h>

namespace {

using namespace importproxy;

constexpr int kReadyTimeoutMs = 1000;

// The text form of a fresh UUID: 36 lower-case characters, 8-4-4-4-12, no braces.
std::string NewUuidText() {
    uuid_t uuid;
    uuid_generate(uuid);
    char text[37] = {};
    uuid_unparse_lower(uuid, text);
    return text;
}

[[noreturn]] void ThrowMalformed(const char* what) {
    throw CArchiveException(CArchiveException::badSchema,
                            tl::Format("The import proxy sent %s outside a record.", what));
}

// Closes the pipe however the exchange ends.
class ClosePipeOnExit {
public:
    explicit ClosePipeOnExit(std::function<void()> close) : close_(std::move(close)) {}
    ClosePipeOnExit(const ClosePipeOnExit&) = delete;
    ClosePipeOnExit& operator=(const ClosePipeOnExit&) = delete;
    ~ClosePipeOnExit() { close_(); }

private:
    std::function<void()> close_;
};

// Collects the records in the caller's array.
ImportRecordSink Collect(ImportRecords& records) {
    return [&records](ImportRecord& record) { records.push_back(std::move(record)); };
}

} // namespace

bool CImportProxy::Launch() {
    Close();
    pipeName_ = tl::Format("\\\\.\\pipe\\%s", NewUuidText().c_str());
    if (!pipe_.Create(pipeName_))
        return false;

    const std::string program = tl::Format("%s\\%s", theInstallDirectory.c_str(), kProgramName);
    if (!win::ShellExecute(program, pipeName_, win::SW_SHOWNORMAL)) {
        AppMessageBox("Tallymar was unable to launch the import proxy TLMFIMPRT.EXE [1]", win::MB_ICONERROR);
        Close();
        return false;
    }

    // The proxy signals once it has opened the pipe; a proxy that dies before takes no signal with it.
    tl::NamedEvent ready;
    const bool signalled = ready.Create(kReadyEventName) && ready.Wait(kReadyTimeoutMs) == win::WAIT_OBJECT_0;
    ready.Close();
    if (!signalled) {
        AppMessageBox("Tallymar was unable to launch the import proxy TLMFIMPRT.EXE [2]\n",
                      win::MB_ICONERROR);
        Close();
        return false;
    }
    return true;
}

bool CImportProxy::QueryFile(const std::string& path, std::span<const std::string_view> columns,
                             ImportRecords& records, std::vector<std::string>* extras) {
    return Exchange(&path, columns, Collect(records), extras);
}

bool CImportProxy::QueryFile(const std::string& path, std::span<const std::string_view> columns,
                             const ImportRecordSink& sink, std::vector<std::string>* extras) {
    return Exchange(&path, columns, sink, extras);
}

bool CImportProxy::Query(std::span<const std::string_view> columns, ImportRecords& records,
                         std::vector<std::string>* extras) {
    return Exchange(nullptr, columns, Collect(records), extras);
}

bool CImportProxy::Exchange(const std::string* path, std::span<const std::string_view> columns,
                            const ImportRecordSink& sink, std::vector<std::string>* extras) {
    if (!Launch())
        return false;
    const ClosePipeOnExit closer([this] { Close(); });
    SendRequest(path, columns);
    return ReadResponse(sink, extras, columns.size());
}

void CImportProxy::SendRequest(const std::string* path, std::span<const std::string_view> columns) {
    // The proxy opened the pipe before it signalled. The wait allows for a signal left by the proxy
    // of an earlier exchange that gave up; a proxy that signalled without opening the pipe at all
    // finds it unconnected, as a write to it would on Windows.
    connection_ = pipe_.AcceptClient(kReadyTimeoutMs);
    if (!connection_)
        throw CFileException(win::ERROR_PIPE_LISTENING,
                             "Waiting for a process to open the other end of the pipe.");
    tl::ArchiveWriter out(connection_.get());
    out.WriteDword(static_cast<DWORD>(columns.size()));
    for (const std::string_view column : columns)
        out.WriteString(column);
    out.WriteDword(path != nullptr ? kRequestFile : kRequestDefaultSource);
    if (path != nullptr)
        out.WriteString(*path);
    out.Flush();
}

bool CImportProxy::ReadResponse(const ImportRecordSink& sink, std::vector<std::string>* extras,
                                std::size_t columnCount) {
    tl::ArchiveReader in(connection_.get());
    // One record is filled again and again: values are read into the strings that the sink left
    // there, so a sink that only looks at them costs no allocation per value.
    ImportRecord current;
    std::size_t fields = 0;
    bool inRecord = false;
    // Tags and names are read into the same two strings again and again.
    std::string tag;
    std::string name;
    for (;;) {
        in.ReadString(tag);
        if (tag == kTagBegin) {
            in.ReadDword();
        } else if (tag == kTagBeginRecord) {
            in.ReadDword();
            inRecord = true;
            fields = 0;
            current.reserve(columnCount);
        } else if (tag == kTagField) {
            const DWORD index = in.ReadDword();
            in.ReadString(name);
            if (fields == current.size())
                current.emplace_back();
            in.ReadString(current[fields++]);
            if (!inRecord)
                ThrowMalformed("a field");
            const std::size_t equals = name.find('=');
            if (extras == nullptr || equals == std::string::npos)
                continue;
            if (index >= columnCount)
                throw CArchiveException(
                    CArchiveException::badIndex,
                    tl::Format("The import proxy sent field %u of %zu.", index, columnCount));
            if (extras->size() <= index)
                extras->resize(index + 1);
            (*extras)[index] = name.substr(equals + 1);
        } else if (tag == kTagEndRecord) {
            if (!inRecord)
                ThrowMalformed("a record end");
            current.resize(fields);
            inRecord = false;
            sink(current);
        } else if (tag == kTagEnd) {
            return true;
        }
        // Any other tag is skipped; the next tag follows it directly.
    }
}

void CImportProxy::Close() {
    connection_.reset();
    pipe_.Close();
}
