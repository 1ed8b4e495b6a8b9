// libFuzzer entry point for the quick reader fontconfig gets in expat's
// place: for any document it must report exactly what expat reports, the
// errors and their lines included, whether it reads the document itself or
// hands it to expat.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "xml_event_log.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view document(reinterpret_cast<const char*>(data), size);
  const auto expat = portico_test::ParseLikeFontconfig(portico_test::ExpatApi, document);
  const auto quick = portico_test::ParseLikeFontconfig(portico_test::WrappedApi, document);
  if (quick == expat) return 0;
  std::fprintf(stderr, "expat:\n%s\nquick reader:\n%s\n", portico_test::Describe(expat).c_str(),
               portico_test::Describe(quick).c_str());
  std::abort();
}
