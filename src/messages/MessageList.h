#pragma once
// The list of messages the provider publishes over HTTP: an XML document like
// MessageInfo.xml itself, a root MessageRecord holding one ITEM a message with the store's
// six attributes. GB2312 as the declaration says; a list declared UTF-8 is converted.
//
// The list comes from the network, so nothing in it is trusted: a document that is too
// big or not a message list is ignored whole; an ITEM with no title, a date that is not
// yyyy-MM-dd, a time that is not a time or an oversized field is skipped; an address that
// is not http or https is dropped from its message, which keeps the rest.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "messages/MessageStore.h"

namespace tarnix {

struct MessageListLimits {
    size_t maxBytes = 4u << 20;  // the document
    size_t maxItems = 500;       // taken from one list, in its order
    size_t maxTitle = 256, maxType = 64, maxUrl = 2048, maxContent = 16u << 10;
};

// The messages of the list; empty when the document is no message list at all.
std::optional<std::vector<Message>> parseMessageList(std::string_view bytes,
                                                     const MessageListLimits& limits = {});

// True for an ASCII web address starting with http:// or https:// and holding no blank or
// control character: the only addresses a message may open.
bool isMessageAddress(std::string_view address);
// The address a message's link opens, or empty when it opens none: a web address as
// written, one without its scheme ("www.isp.cn/a") with "http://" in front, non-ASCII
// text after the host (GB2312) percent-encoded as UTF-8. Other schemes, files and
// programs open nothing.
std::string messageOpenAddress(std::string_view url);

}  // namespace tarnix
