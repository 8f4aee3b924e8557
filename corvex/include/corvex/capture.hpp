// MessageCapture: collects notes, log lines and returning internal errors
// while it is alive (C++ only).  Useful in tests and in hosts that want to
// show the library's diagnostics in their own window.
//
//   Kaltor::Corvex::MessageCapture capture(/*internal_errors_return=*/true);
//   call_something();
//   EXPECT_EQ(capture.notes().size(), 1u);
//
// The previous sink and internal-error setting come back on destruction.
#ifndef CORVEX_CAPTURE_HPP
#define CORVEX_CAPTURE_HPP

#include <corvex/corvex.h>

#include <string>
#include <vector>

namespace Kaltor {
namespace Corvex {

class MessageCapture {
  public:
    struct Message {
        CORVEX_message_kind_t kind;
        std::string file;
        int line;
        std::string text;
    };

    explicit MessageCapture(bool internal_errors_return = false) {
        CORVEX_set_message_sink(&MessageCapture::sink, this, &old_sink_, &old_context_);
        old_internal_ = CORVEX_set_internal_errors_return(internal_errors_return ? 1 : 0);
    }
    ~MessageCapture() {
        CORVEX_set_message_sink(old_sink_, old_context_, nullptr, nullptr);
        CORVEX_set_internal_errors_return(old_internal_);
    }
    MessageCapture(const MessageCapture &) = delete;
    MessageCapture &operator=(const MessageCapture &) = delete;

    const std::vector<Message> &all() const { return messages_; }
    std::vector<std::string> notes() const { return texts(CORVEX_MESSAGE_NOTE); }
    std::vector<std::string> logs() const { return texts(CORVEX_MESSAGE_LOG); }
    std::vector<std::string> internals() const { return texts(CORVEX_MESSAGE_INTERNAL); }
    // All log lines joined, in order.
    std::string log_text() const {
        std::string out;
        for (const std::string &s : logs()) out += s;
        return out;
    }
    void clear() { messages_.clear(); }

  private:
    static void sink(void *context, CORVEX_message_kind_t kind, const char *file, int line, const char *text) {
        static_cast<MessageCapture *>(context)->messages_.push_back(
            Message{kind, file ? file : "", line, text ? text : ""});
    }
    std::vector<std::string> texts(CORVEX_message_kind_t kind) const {
        std::vector<std::string> out;
        for (const Message &m : messages_)
            if (m.kind == kind) out.push_back(m.text);
        return out;
    }

    std::vector<Message> messages_;
    CORVEX_message_sink_t old_sink_ = nullptr;
    void *old_context_ = nullptr;
    int old_internal_ = 0;
};

} // namespace Corvex
} // namespace Kaltor

#endif
