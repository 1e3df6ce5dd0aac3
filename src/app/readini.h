#pragma once

#include <QString>

// Value of `key` in the ini file `fileName` (relative names against the
// current folder): the text after the first "=" of the first line that holds
// the key anywhere (exact case). The section only makes its own header line
// skip the key test. An empty line ends the search with "False", the end of
// the file with the empty text. Lines end at CR, LF or CR LF.
// `opened` (optional) tells whether the file could be read at all.
QString ReadIniValue(const QString &fileName, const QString &section, const QString &key, bool *opened = nullptr);

// The Boolean conversion of a start-up flag: "True"/"False" in any letter
// case, or a finite number (0 False, any other True). Anything else fails,
// "nan" and "inf" included.
bool ConvertToBoolean(const QString &text, bool *ok);
