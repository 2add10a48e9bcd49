#pragma once

#include "platform/NamedPipe.h"
#include "platform/UniqueFd.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

/// One row from the import proxy: the field values in arrival order.
using ImportRecord = std::vector<std::string>;
using ImportRecords = std::vector<ImportRecord>;
/// Takes one record the moment it has arrived; it may move the values out.
using ImportRecordSink = std::function<void(ImportRecord& record)>;

/// The channel to the import proxy TLMFIMPRT.EXE for one request: a private pipe, the proxy
/// started from the install directory (theInstallDirectory) with the pipe's name, the request and
/// the records that come back (import/ImportProtocol.h). Made on the stack by each importer; the
/// pipe is closed when a query returns and when the object goes away.
class CImportProxy {
public:
    CImportProxy() = default;
    CImportProxy(const CImportProxy&) = delete;
    CImportProxy& operator=(const CImportProxy&) = delete;
    ~CImportProxy() = default;

    /// Creates the pipe "\\.\pipe\<fresh UUID>" and starts the proxy. False without a message when
    /// the pipe cannot be created. False after "Tallymar was unable to launch the import proxy
    /// TLMFIMPRT.EXE [1]" (error icon) when the program cannot be started, and after "... [2]\n"
    /// when it does not signal the ready event "TLMFIMPRT" within 1000 ms.
    bool Launch();

    /// Launches, asks for the columns of the file at path (a local Windows path) and appends the
    /// records to records. When extras is given, a field name holding "=" stores the text after
    /// the first "=" at the field's index there. False when the launch fails; true once the
    /// response has ended. A pipe that breaks and a response that breaks off or is malformed (a
    /// field or record end outside a record) throw CFileException or CArchiveException; records
    /// already received stay in records. The pipe is closed before returning or throwing.
    bool QueryFile(const std::string& path, std::span<const std::string_view> columns, ImportRecords& records,
                   std::vector<std::string>* extras = nullptr);

    /// As QueryFile above, handing each record to sink as soon as its end has arrived instead of
    /// collecting them, so that the caller works on it while the proxy sends the next. Whatever
    /// sink throws ends the exchange (the pipe is closed) and passes on.
    bool QueryFile(const std::string& path, std::span<const std::string_view> columns,
                   const ImportRecordSink& sink, std::vector<std::string>* extras = nullptr);

    /// As QueryFile, for the proxy's default source instead of a file.
    bool Query(std::span<const std::string_view> columns, ImportRecords& records,
               std::vector<std::string>* extras = nullptr);

    /// The name of the pipe of the last launch.
    const std::string& PipeName() const { return pipeName_; }

private:
    bool Exchange(const std::string* path, std::span<const std::string_view> columns,
                  const ImportRecordSink& sink, std::vector<std::string>* extras);
    void SendRequest(const std::string* path, std::span<const std::string_view> columns);
    bool ReadResponse(const ImportRecordSink& sink, std::vector<std::string>* extras,
                      std::size_t columnCount);
    void Close();

    tl::NamedPipeServer pipe_;
    tl::UniqueFd connection_;
    std::string pipeName_;
};
