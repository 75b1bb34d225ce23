#pragma once

#include <string>

#include "base/Text.h"

// Pieces of a page address as the page fetch connects with them. An address begins with
// "http://", "https://" (letters in any case) or with the host itself, which then means plain
// HTTP. The functions never fail: a hostile address gives odd pieces (an empty host, port 0),
// which the fetch refuses.
//
// Pure functions, safe from any thread.
namespace lumo {

// The host, lower-cased; with `keepPort`, followed by ":" and the port when the address names one.
// Everything between the scheme (or the start) and the next "/" counts as host.
Text urlHost(const Text& url, bool keepPort);

// The port the address names (the leading digits after the host's last ":", 0 without digits), or
// else 443 for an address beginning with "https://" and 80 for any other.
int urlPort(const Text& url);

// The address from the first "/" after the host to its end, query and fragment included, in the
// letter case of `url`; "/" when nothing follows the host.
Text urlPath(const Text& url);

// True when the address begins with "https://", ignoring ASCII case.
bool isSecureUrl(const Text& url);

// The address a fetch asks for: scheme, host and port as the functions above find them, and the
// path as it is, with only the bytes escaped that cannot stand in a request line (controls,
// spaces, DEL). GBK bytes go out raw. The fragment stays home. Empty when the address names no
// usable host (letters, digits, "-", "." and "_" only) or port: such an address is never fetched.
std::string wireAddress(const Text& url);

}  // namespace lumo
