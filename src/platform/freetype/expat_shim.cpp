// fontconfig reads its configuration, some sixty XML files, through expat
// before the first caption can be drawn, and start-up waits for it.
// Programs that link fontconfig in statically put this file between the
// two with the linker's --wrap (see CMakeLists.txt): each document is read
// with TPlainXmlReader, in well under half of expat's time, and a
// document that reader refuses goes to expat itself, so fontconfig sees
// what expat would show it, errors and their line numbers included.
#include <algorithm>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "platform/ascii.h"
#include "platform/freetype/expat_real.h"
#include "platform/freetype/plain_xml.h"

namespace {

using portico::TPlainXmlReader;

// What expat would hold for one document until it is read at its end.
struct TShimParser {
  std::optional<std::string> Encoding;
  void* UserData = nullptr;
  XML_StartDoctypeDeclHandler StartDoctype = nullptr;
  XML_EndDoctypeDeclHandler EndDoctype = nullptr;
  XML_StartElementHandler StartElement = nullptr;
  XML_EndElementHandler EndElement = nullptr;
  XML_CharacterDataHandler CharacterData = nullptr;
  std::unique_ptr<char[]> Document;  // not zeroed: fontconfig fills it
  size_t Capacity = 0;
  size_t Used = 0;
  // Once it took the whole document: nothing more is taken.
  std::unique_ptr<TPlainXmlReader> Reader;
  uint32_t Position = 0;  // of the event being reported
  XML_Error Error = XML_ERROR_NONE;
  XML_Parser Expat = nullptr;  // once set, every call goes to it
  std::unique_ptr<char[]> Refused;  // once expat failed on a huge document
};

// Beyond this a document goes to expat piece by piece.
constexpr size_t MaxKept = size_t{16} << 20;

TShimParser* Shim(XML_Parser parser) { return reinterpret_cast<TShimParser*>(parser); }

bool IsUtf8(const char* encoding) {
  // No name is expat's default, and what the reader takes.
  return !encoding || portico::SameIgnoringAsciiCase(encoding, "UTF-8");
}

// From here on the document is expat's; what came so far is given to it,
// as the whole document when IS_FINAL.
bool HandToExpat(TShimParser& shim, bool is_final = false) {
  shim.Expat = __real_XML_ParserCreate(shim.Encoding ? shim.Encoding->c_str() : nullptr);
  if (!shim.Expat) {
    shim.Error = XML_ERROR_NO_MEMORY;
    return false;
  }
  __real_XML_SetUserData(shim.Expat, shim.UserData);
  __real_XML_SetDoctypeDeclHandler(shim.Expat, shim.StartDoctype, shim.EndDoctype);
  __real_XML_SetElementHandler(shim.Expat, shim.StartElement, shim.EndElement);
  __real_XML_SetCharacterDataHandler(shim.Expat, shim.CharacterData);
  // One call for a whole document, as fontconfig makes it for a small one:
  // an error is then reported at the line expat would report it at.
  const XML_Status status = shim.Used > 0 || is_final
                                ? XML_Parse(shim.Expat, shim.Document.get(), int(shim.Used), is_final)
                                : XML_STATUS_OK;
  shim.Document.reset();
  shim.Capacity = 0;
  return status == XML_STATUS_OK;
}

void Report(TShimParser& shim, const TPlainXmlReader& reader) {
  using EEvent = TPlainXmlReader::EEvent;
  const auto string_or_null = [&](uint32_t offset) {
    return offset == TPlainXmlReader::NoString ? nullptr : reader.String(offset);
  };
  std::vector<const XML_Char*> attributes;
  for (const TPlainXmlReader::TEvent& event : reader.Events()) {
    shim.Position = event.Position;
    const char* text = reader.String(event.Text);
    switch (event.Kind) {
      case EEvent::Doctype:
        if (shim.StartDoctype) {
          const uint32_t* ids = reader.Attributes().data() + event.FirstAttribute;
          shim.StartDoctype(shim.UserData, text, string_or_null(ids[0]), string_or_null(ids[1]), 0);
        }
        if (shim.EndDoctype) shim.EndDoctype(shim.UserData);
        break;
      case EEvent::Start:
        if (!shim.StartElement) break;
        attributes.clear();
        for (uint32_t i = 0; i < event.AttributeCount * 2; ++i)
          attributes.push_back(reader.String(reader.Attributes()[event.FirstAttribute + i]));
        attributes.push_back(nullptr);
        shim.StartElement(shim.UserData, text, attributes.data());
        break;
      case EEvent::End:
        if (shim.EndElement) shim.EndElement(shim.UserData, text);
        break;
      case EEvent::Text:
        if (shim.CharacterData) shim.CharacterData(shim.UserData, text, int(event.Length));
        break;
    }
  }
}

// The whole document is in: read it, or let expat.
XML_Status Finish(TShimParser& shim) {
  bool read = false;
  try {
    shim.Reader = std::make_unique<TPlainXmlReader>();
    read = shim.Reader->Read(std::string_view(shim.Document.get(), shim.Used));
  } catch (const std::bad_alloc&) {
    read = false;  // nothing is reported yet: expat may still manage
  }
  if (!read) {
    shim.Reader.reset();
    return HandToExpat(shim, true) ? XML_STATUS_OK : XML_STATUS_ERROR;
  }
  // The document stays for the reader's line numbers.
  try {
    Report(shim, *shim.Reader);
  } catch (const std::bad_alloc&) {
    shim.Error = XML_ERROR_NO_MEMORY;
    return XML_STATUS_ERROR;
  }
  return XML_STATUS_OK;
}

}  // namespace

extern "C" {

XML_Parser __wrap_XML_ParserCreate(const XML_Char* encoding) {
  auto* shim = new (std::nothrow) TShimParser;
  if (!shim) return nullptr;
  if (encoding) shim->Encoding = encoding;
  // Documents in other encodings are expat's from the start.
  if (!IsUtf8(encoding)) {
    HandToExpat(*shim);
    if (!shim->Expat) {
      delete shim;
      return nullptr;
    }
  }
  return reinterpret_cast<XML_Parser>(shim);
}

void __wrap_XML_ParserFree(XML_Parser parser) {
  if (!parser) return;
  TShimParser* shim = Shim(parser);
  if (shim->Expat) __real_XML_ParserFree(shim->Expat);
  delete shim;
}

void __wrap_XML_SetUserData(XML_Parser parser, void* user_data) {
  if (!parser) return;
  TShimParser& shim = *Shim(parser);
  shim.UserData = user_data;
  if (shim.Expat) __real_XML_SetUserData(shim.Expat, user_data);
}

void __wrap_XML_SetDoctypeDeclHandler(XML_Parser parser, XML_StartDoctypeDeclHandler start,
                                      XML_EndDoctypeDeclHandler end) {
  if (!parser) return;
  TShimParser& shim = *Shim(parser);
  shim.StartDoctype = start;
  shim.EndDoctype = end;
  if (shim.Expat) __real_XML_SetDoctypeDeclHandler(shim.Expat, start, end);
}

void __wrap_XML_SetElementHandler(XML_Parser parser, XML_StartElementHandler start, XML_EndElementHandler end) {
  if (!parser) return;
  TShimParser& shim = *Shim(parser);
  shim.StartElement = start;
  shim.EndElement = end;
  if (shim.Expat) __real_XML_SetElementHandler(shim.Expat, start, end);
}

void __wrap_XML_SetCharacterDataHandler(XML_Parser parser, XML_CharacterDataHandler handler) {
  if (!parser) return;
  TShimParser& shim = *Shim(parser);
  shim.CharacterData = handler;
  if (shim.Expat) __real_XML_SetCharacterDataHandler(shim.Expat, handler);
}

void* __wrap_XML_GetBuffer(XML_Parser parser, int len) {
  if (!parser) return nullptr;
  TShimParser& shim = *Shim(parser);
  if (shim.Expat) return __real_XML_GetBuffer(shim.Expat, len);
  if (shim.Reader) {
    shim.Error = XML_ERROR_FINISHED;
    return nullptr;
  }
  if (len < 0) {
    shim.Error = XML_ERROR_NO_MEMORY;  // as expat answers
    return nullptr;
  }
  // A huge document is expat's as it comes, rather than kept twice.
  if (size_t(len) > MaxKept - shim.Used) {
    if (!HandToExpat(shim)) {
      // Its error stands: the next piece is taken and refused unread.
      shim.Refused.reset(new (std::nothrow) char[size_t(len)]);
      return shim.Refused.get();
    }
    return __real_XML_GetBuffer(shim.Expat, len);
  }
  const size_t needed = shim.Used + size_t(len);
  if (shim.Capacity < needed) {
    const size_t capacity = std::max(needed, shim.Capacity * 2);
    std::unique_ptr<char[]> grown(new (std::nothrow) char[capacity]);
    if (!grown) {
      shim.Error = XML_ERROR_NO_MEMORY;
      return nullptr;
    }
    if (shim.Used) std::memcpy(grown.get(), shim.Document.get(), shim.Used);
    shim.Document = std::move(grown);
    shim.Capacity = capacity;
  }
  return shim.Document.get() + shim.Used;
}

enum XML_Status __wrap_XML_ParseBuffer(XML_Parser parser, int len, int is_final) {
  if (!parser) return XML_STATUS_ERROR;
  TShimParser& shim = *Shim(parser);
  if (shim.Refused) return XML_STATUS_ERROR;
  if (shim.Expat) return __real_XML_ParseBuffer(shim.Expat, len, is_final);
  if (shim.Reader) {
    shim.Error = XML_ERROR_FINISHED;
    return XML_STATUS_ERROR;
  }
  if (len < 0 || size_t(len) > shim.Capacity - shim.Used) {
    shim.Error = XML_ERROR_INVALID_ARGUMENT;  // more than the buffer given
    return XML_STATUS_ERROR;
  }
  shim.Used += size_t(len);
  return is_final ? Finish(shim) : XML_STATUS_OK;
}

enum XML_Error __wrap_XML_GetErrorCode(XML_Parser parser) {
  if (!parser) return XML_ERROR_INVALID_ARGUMENT;
  const TShimParser& shim = *Shim(parser);
  return shim.Expat ? __real_XML_GetErrorCode(shim.Expat) : shim.Error;
}

XML_Size __wrap_XML_GetCurrentLineNumber(XML_Parser parser) {
  if (!parser) return 0;
  TShimParser& shim = *Shim(parser);
  if (shim.Expat) return __real_XML_GetCurrentLineNumber(shim.Expat);
  return shim.Reader ? shim.Reader->LineAt(shim.Position) : 1;
}

}  // extern "C"
