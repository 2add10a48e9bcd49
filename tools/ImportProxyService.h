#pragma once

#include <filesystem>
#include <string>

/// The import proxy's one exchange: opens the pipe named pipeName, signals the ready event, reads
/// the request, answers it from the reference-data file it names (or, for the default source,
/// from defaultSource, whose absence gives an answer without records) and closes the pipe.
/// Returns 0 when the answer was sent whole. Otherwise returns 1 and puts the reason into *error;
/// an answer that was begun is then left without its end marker, so the setup program counts the
/// import of that file as failed.
int ServeImportRequest(const std::string& pipeName, const std::filesystem::path& defaultSource,
                       std::string* error);
