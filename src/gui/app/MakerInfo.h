// The maker's details shown by the title bar, the About box, the manual
// message and the web page command.
#pragma once

namespace velmora::maker {

inline constexpr const char* kName = "Corvelle";
inline constexpr const char* kAddress = "1840 Depot Road, Suite 4, Harlan Junction";
inline constexpr const char* kTelephone = "555 014-2290";
inline constexpr const char* kFax = "555 014-3381";
inline constexpr const char* kEmail = "support@corvelle.example";
inline constexpr const char* kWebAddress = "https://www.corvelle.example";
// Where a PDF reader can be had when none is installed.
inline constexpr const char* kPdfReaderAddress = "https://www.corvelle.example/pdf-reader";

inline constexpr const char* kManualFileName = "Velmora Manual.pdf";
inline constexpr const char* kHelpFileName = "velmora.hlp";

} // namespace velmora::maker
