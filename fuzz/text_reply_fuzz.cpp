// Fuzzes the text-protocol receive path with any byte string, as a receive handler takes a
// datagram: the validity check, then the code and every field of the text up to its first
// NUL, and the edit a save makes to a stored reply. Checks what must hold for any input:
// only the first 128 bytes decide validity, a decoder never makes up fields for a text
// shorter than a message, and an edit changes the settings' positions only.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "operations/text_message.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

const TextSettings EDITED{"001a2b3c4d5e", 0xC0A80177, 0xFFFFFF00, 0xC0A80101, 9300, true};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const bool valid = IsValidTextReply(data, size);
  Check(!valid || size >= TEXT_MESSAGE_SIZE);
  if (size > TEXT_MESSAGE_SIZE) Check(valid == IsValidTextReply(data, TEXT_MESSAGE_SIZE));
  // Check digits pass in both cases only when they hold no letter.
  if (valid && IsValidTextRequest(data, size)) {
    for (size_t i = 0; i < 8; ++i) Check(data[i] >= '0' && data[i] <= '9');
  }

  // The stored text is the datagram up to its first NUL.
  const char* chars = reinterpret_cast<const char*>(data);
  const std::string text(chars, std::find(chars, chars + size, '\0'));
  const bool whole = text.size() >= TEXT_MESSAGE_SIZE;
  const std::string code = TextMessageCode(text);
  Check(code.size() == (text.size() >= TXT_POS_CODE + 2 ? 2u : 0u));

  const TextInfo info = DecodeTextInfo(text);
  Check(info.macText.size() == (whole ? 17u : 0u));
  Check(!info.hasVersion || (whole && info.version.size() == 5 && info.version[0] == ' '));
  const TextSettings set = DecodeTextSet(text);
  Check(set.macDigits.size() == (whole ? 12u : 0u));

  const std::string edited = EditStoredReply(text, EDITED);
  Check(edited.size() == text.size());
  if (!whole) {
    Check(edited == text);
  } else {
    Check(edited.compare(0, TXT_POS_IP, text, 0, TXT_POS_IP) == 0);
    Check(edited.compare(TXT_POS_DHCP + 1, std::string::npos, text, TXT_POS_DHCP + 1,
                         std::string::npos) == 0);
    const TextInfo reread = DecodeTextInfo(edited);
    Check(reread.ipAddress == EDITED.ipAddress && reread.port == EDITED.port && reread.dhcp);
  }
  return 0;
}
