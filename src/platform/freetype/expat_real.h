// Expat's own entry points in a program linked with --wrap=XML_<name> for
// each of these (see portico_use_expat_shim in CMakeLists.txt): there
// XML_<name> is the quick reader's, and __real_XML_<name> is expat's.
#pragma once
#include <expat.h>

extern "C" {
XML_Parser __real_XML_ParserCreate(const XML_Char* encoding);
void __real_XML_ParserFree(XML_Parser parser);
void __real_XML_SetUserData(XML_Parser parser, void* user_data);
void __real_XML_SetDoctypeDeclHandler(XML_Parser parser, XML_StartDoctypeDeclHandler start,
                                      XML_EndDoctypeDeclHandler end);
void __real_XML_SetElementHandler(XML_Parser parser, XML_StartElementHandler start, XML_EndElementHandler end);
void __real_XML_SetCharacterDataHandler(XML_Parser parser, XML_CharacterDataHandler handler);
void* __real_XML_GetBuffer(XML_Parser parser, int len);
enum XML_Status __real_XML_ParseBuffer(XML_Parser parser, int len, int is_final);
enum XML_Error __real_XML_GetErrorCode(XML_Parser parser);
XML_Size __real_XML_GetCurrentLineNumber(XML_Parser parser);
}
