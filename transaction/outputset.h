#pragma once

#include "spreadsheet/runtimeerror.h"

#include <filesystem>
#include <string>
#include <vector>

namespace karumenio::transaction {

// A file a run writes or reads, with what the messages call it ("DXF ファイル").
struct RunFile {
    std::filesystem::path path;
    std::string role;
};

// Outputs of one run that would be written over each other or over what the run reads. It
// is the file-access error (75), so that every front end reports it as one.
class OutputClash : public spreadsheet::RunTimeError {
  public:
    explicit OutputClash(const std::string& message);
};

// Refuses, before anything is written, a set of outputs of which two are one file, one is one
// of the inputs, or one takes a name that the file set keeps for itself in a folder (the
// journal, the lock, the temporary and backup names). Names are compared as Windows compares
// them, after links and "." and ".." are resolved. The message names both files.
void checkOutputSet(const std::vector<RunFile>& outputs, const std::vector<RunFile>& inputs = {});

} // namespace karumenio::transaction
