#include "tools/ImportProxyService.h"

#include "import/ImportProtocol.h"
#include "platform/Archive.h"
#include "platform/Format.h"
#include "platform/LastError.h"
#include "platform/NamedEvent.h"
#include "platform/NamedPipe.h"
#include "platform/WindowsPath.h"
#include "tools/ImportDataFile.h"

#include <vector>

namespace {

namespace fs = std::filesystem;
using namespace importproxy;

// More columns than any importer asks for; a larger count is a request we do not understand.
constexpr DWORD kMaxColumns = 1024;

struct Request {
    std::vector<std::string> columns;
    DWORD kind = kRequestDefaultSource;
    std::string path;
};

bool ReadRequest(tl::ArchiveReader& in, Request& request, std::string* error) {
    const DWORD count = in.ReadDword();
    if (count > kMaxColumns) {
        *error = tl::Format("a request for %u columns", count);
        return false;
    }
    for (DWORD i = 0; i < count; ++i)
        request.columns.push_back(in.ReadString());
    request.kind = in.ReadDword();
    if (request.kind == kRequestFile)
        request.path = in.ReadString();
    else if (request.kind != kRequestDefaultSource) {
        *error = tl::Format("a request of unknown kind %u", request.kind);
        return false;
    }
    return true;
}

void WriteRecord(tl::ArchiveWriter& out, const Request& request, const ImportDataRecord& record,
                 DWORD number) {
    out.WriteString(kTagBeginRecord);
    out.WriteDword(number);
    for (std::size_t i = 0; i < request.columns.size(); ++i) {
        const std::string* value = record.Find(request.columns[i]);
        out.WriteString(kTagField);
        out.WriteDword(static_cast<DWORD>(i));
        out.WriteString(request.columns[i]);
        out.WriteString(value != nullptr ? *value : std::string());
    }
    out.WriteString(kTagEndRecord);
}

// Sends the file's records; false with *error at a fault in the file.
bool Answer(tl::ArchiveWriter& out, const Request& request, const fs::path& source, std::string* error) {
    out.WriteString(kTagBegin);
    out.WriteDword(0);
    ImportDataFile file;
    const bool noDefault = request.kind == kRequestDefaultSource && !fs::exists(source);
    if (!noDefault) {
        if (!file.Open(source)) {
            *error = file.Error();
            return false;
        }
        ImportDataRecord record;
        for (DWORD number = 0; file.Next(record); ++number)
            WriteRecord(out, request, record, number);
        if (!file.Error().empty()) {
            *error = file.Error();
            return false;
        }
    }
    out.WriteString(kTagEnd);
    return true;
}

} // namespace

int ServeImportRequest(const std::string& pipeName, const fs::path& defaultSource, std::string* error) {
    const tl::UniqueFd pipe = tl::OpenNamedPipe(pipeName);
    if (!pipe) {
        *error = tl::Format("cannot open the pipe %s (error %u)", pipeName.c_str(), win::GetLastError());
        return 1;
    }
    // Held until the exchange is over: the signal lives only while some holder has the event open.
    tl::NamedEvent ready;
    if (!ready.Create(kReadyEventName) || !ready.Set()) {
        *error = tl::Format("cannot signal the event %s (error %u)", kReadyEventName, win::GetLastError());
        return 1;
    }
    try {
        tl::ArchiveReader in(pipe.get());
        tl::ArchiveWriter out(pipe.get());
        Request request;
        if (!ReadRequest(in, request, error))
            return 1;
        fs::path source = defaultSource;
        if (request.kind == kRequestFile) {
            DWORD mapError = win::ERROR_SUCCESS;
            const auto host = tl::MapToHostPath(request.path, &mapError);
            if (!host) {
                *error =
                    tl::Format("%s: not a path of this computer (error %u)", request.path.c_str(), mapError);
                return 1;
            }
            source = *host;
        }
        const bool answered = Answer(out, request, source, error);
        out.Flush();
        return answered ? 0 : 1;
    } catch (const CException& e) {
        *error = tl::Format("the exchange broke off: %s", e.GetErrorMessage().c_str());
        return 1;
    }
}
