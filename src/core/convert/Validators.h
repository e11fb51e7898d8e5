#pragma once

#include "convert/CivilDate.h"

#include <string>
#include <string_view>

// Validators of coded, year and date fields. Each rejects a bad value by throwing Rejection whose
// what() is the whole message
//   "Source record: " recordNo CR LF CR LF "Destination Field:" CR LF caption CR LF CR LF errorLine
// and whose ErrorLine() is the "ERROR: ..." line. A value that is not a number or not a date
// throws Rejection("'<text>' is not a valid integer value") or Rejection("'<text>' is not a valid
// date") without the record and field lines.
namespace impmap {

// Type of employer (code e): one of A, F, H, M, Q, R, X; empty means R. The value becomes the
// upper-case letter; on rejection it is left unchanged.
void ValidateEmployerType(long recordNo, std::string& value, std::string_view caption);
// Kind of employer (code k): one of F, N, S, T, Y; empty means N.
void ValidateEmployerKind(long recordNo, std::string& value, std::string_view caption);
// Required year (code Y), 2 or 4 characters: 00-49 become 2000-2049, 50-99 become 1950-1999.
void ConvertYear(long recordNo, std::string& value, std::string_view caption);
// Optional year (code y): empty or 4 digits.
void ValidateOptionalYear(long recordNo, std::string& value, std::string_view caption);
// Dates (codes D, d, b): M/D/Y with "/" separators, or 6 or 8 digits without them. Becomes
// MMDDYYYY, or stays empty when not required. A birth date after today is moved into the 1900s.
void ConvertDate(long recordNo, std::string& value, bool required, bool birthDate,
                 std::string_view caption, const CivilDate& today);

// Places a one- or two-digit year in the hundred years that begin 20 years before currentYear.
int WindowTwoDigitYear(int yy, int currentYear);

} // namespace impmap
