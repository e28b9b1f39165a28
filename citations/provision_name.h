// The name of the provision a law sentence is, as a law's text writes it:
// "第二条第五号", "第百十二条第十八項", "第六条の二第一項第三号イ". With the
// law's word before it ("法", "令", a title) this is how a reader names the
// source of a definition (法第二条第五号).
//
// The paragraph is left out when the article has only one (`single_paragraph`),
// as the laws themselves cite 法第二条第五号. Any identifier may be passed:
// one that is no article sentence gives the empty text.
#pragma once

#include <string>
#include <string_view>

namespace velto {

std::string provision_name(std::string_view id_bn, bool single_paragraph);

} // namespace velto
