#pragma once
// The order names are shown in, wherever the program lists files and folders: runs of digits by
// their value ("2" before "10"), Latin letters without regard to case, then Chinese names by
// their pinyin (啊, 北京, 测试, 视频, 文档, 中国). Names that this order finds equal ("a" and
// "A", "7" and "007") fall back to their bytes, so the order is total and only equal names
// compare 0. Names need not be valid UTF-8: a stray byte sorts as U+FFFD before the tie-break.
// Thread-safe; no locale of the process is involved.
#include <string>
#include <string_view>

// -1, 0 or +1.
int CompareNames(std::string_view a, std::string_view b);
// A byte string whose plain byte order (std::string's <) is the order of CompareNames: for
// sorting many names, each key made once.
std::string NameSortKey(std::string_view name);
