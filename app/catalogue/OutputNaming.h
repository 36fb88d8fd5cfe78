#pragma once
// Output file names: the output's name placed in the output folder and, unless overwriting is
// chosen, made free with "_" and the first free number before the extension.
//
// Besides files on disk, a name is taken when another job already plans to write it (two
// inputs of the same name must not share one output) and when it is the input file itself
// (converting a file onto itself would destroy it while it is read). Neither is excused by
// overwriting.
#include <set>
#include <string>

namespace catalogue {

struct TOutputNameRules {
  bool Overwrite = false;                               // an existing file may be replaced
  std::string InputFileName;                            // path of the input; never the output
  const std::set<std::string>* PlannedOutputs = nullptr;  // outputs of other jobs
};

// folder + "/" + the file name of `outputPath`, made free as described above. The numbered
// candidates are base + "_" + N + ext for N = 1, 2, ...; the extension is that of the name
// (from its last dot, possibly none). Throws Exception when `outputPath` has no file name.
std::string UniqueOutputFileName(const std::string& outputFolder, const std::string& outputPath,
                                 const TOutputNameRules& rules);

// Whether two paths name the same file: equal once made absolute and normalised, symbolic
// links resolved as far as they exist, or the same existing file reached by another name.
bool SameFilePath(const std::string& a, const std::string& b);

}  // namespace catalogue
