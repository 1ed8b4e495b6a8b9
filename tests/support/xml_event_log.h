// Feeds a document to an expat-style parser the way fontconfig does (8 KB
// pieces from XML_GetBuffer, then an empty final piece) and logs what it
// reports, so that the quick reader behind XML_* in programs linked with
// --wrap can be compared with expat itself (__real_XML_*). Text between
// two markup events is logged as one piece: parsers may split it anywhere.
#pragma once
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/freetype/expat_real.h"

namespace portico_test {

// One parser's entry points.
struct TXmlApi {
  decltype(&XML_ParserCreate) Create;
  decltype(&XML_ParserFree) Free;
  decltype(&XML_SetUserData) SetUserData;
  decltype(&XML_SetDoctypeDeclHandler) SetDoctypeHandler;
  decltype(&XML_SetElementHandler) SetElementHandler;
  decltype(&XML_SetCharacterDataHandler) SetCharacterDataHandler;
  decltype(&XML_GetBuffer) GetBuffer;
  decltype(&XML_ParseBuffer) ParseBuffer;
  decltype(&XML_GetErrorCode) GetErrorCode;
  decltype(&XML_GetCurrentLineNumber) GetLine;
};

// Expat, and whatever XML_* is in this program (the quick reader).
inline const TXmlApi ExpatApi{__real_XML_ParserCreate,        __real_XML_ParserFree,
                              __real_XML_SetUserData,         __real_XML_SetDoctypeDeclHandler,
                              __real_XML_SetElementHandler,   __real_XML_SetCharacterDataHandler,
                              __real_XML_GetBuffer,           __real_XML_ParseBuffer,
                              __real_XML_GetErrorCode,        __real_XML_GetCurrentLineNumber};
inline const TXmlApi WrappedApi{XML_ParserCreate,        XML_ParserFree,         XML_SetUserData,
                                XML_SetDoctypeDeclHandler, XML_SetElementHandler, XML_SetCharacterDataHandler,
                                XML_GetBuffer,           XML_ParseBuffer,        XML_GetErrorCode,
                                XML_GetCurrentLineNumber};

struct TXmlLog {
  std::vector<std::string> Events;  // markup with its line; merged text
  bool Ok = false;
  int Error = 0;
  unsigned long ErrorLine = 0;
  bool operator==(const TXmlLog&) const = default;
};

inline std::string Describe(const TXmlLog& log) {
  std::string out = log.Ok ? "ok\n" : "error " + std::to_string(log.Error) + " at line " +
                                          std::to_string(log.ErrorLine) + "\n";
  for (const std::string& e : log.Events) out += e + "\n";
  return out;
}

namespace detail {

struct TRecorder {
  const TXmlApi* Api;
  XML_Parser Parser;
  TXmlLog* Log;
  std::string Text;

  void Markup(std::string event) {
    if (!Text.empty()) Log->Events.push_back("text [" + Text + "]");
    Text.clear();
    Log->Events.push_back(std::move(event) + " @" + std::to_string(Api->GetLine(Parser)));
  }
};

inline void StartDoctype(void* user, const XML_Char* name, const XML_Char* system_id, const XML_Char* public_id,
                         int internal_subset) {
  static_cast<TRecorder*>(user)->Markup(std::string("doctype ") + name + " system=" +
                                        (system_id ? system_id : "-") + " public=" + (public_id ? public_id : "-") +
                                        " subset=" + std::to_string(internal_subset));
}
inline void EndDoctype(void* user) { static_cast<TRecorder*>(user)->Markup("end doctype"); }
inline void StartElement(void* user, const XML_Char* name, const XML_Char** attributes) {
  std::string event = std::string("start ") + name;
  for (size_t i = 0; attributes[i]; i += 2) event += std::string(" ") + attributes[i] + "=[" + attributes[i + 1] + "]";
  static_cast<TRecorder*>(user)->Markup(std::move(event));
}
inline void EndElement(void* user, const XML_Char* name) {
  static_cast<TRecorder*>(user)->Markup(std::string("end ") + name);
}
inline void CharacterData(void* user, const XML_Char* text, int length) {
  static_cast<TRecorder*>(user)->Text.append(text, size_t(length));
}

}  // namespace detail

inline TXmlLog ParseLikeFontconfig(const TXmlApi& api, std::string_view document, const char* encoding = "UTF-8") {
  TXmlLog log;
  XML_Parser parser = api.Create(encoding);
  if (!parser) return log;
  detail::TRecorder recorder{&api, parser, &log, {}};
  api.SetUserData(parser, &recorder);
  api.SetDoctypeHandler(parser, detail::StartDoctype, detail::EndDoctype);
  api.SetElementHandler(parser, detail::StartElement, detail::EndElement);
  api.SetCharacterDataHandler(parser, detail::CharacterData);
  constexpr size_t Piece = 8192;
  for (;;) {
    const size_t length = std::min(Piece, document.size());
    void* buffer = api.GetBuffer(parser, int(Piece));
    if (!buffer) break;
    std::memcpy(buffer, document.data(), length);
    document.remove_prefix(length);
    if (!api.ParseBuffer(parser, int(length), length == 0)) {
      log.Error = api.GetErrorCode(parser);
      log.ErrorLine = api.GetLine(parser);
      break;
    }
    if (length == 0) {
      log.Ok = true;
      break;
    }
  }
  if (!recorder.Text.empty()) log.Events.push_back("text [" + recorder.Text + "]");
  api.Free(parser);
  return log;
}

}  // namespace portico_test
