#include "plan/PlanTextScan.h"

#include <string>

#include "core/PrintableText.h"
#include "plan/PlanFile.h"

namespace {

// Follows the text as TOML reads it: in a comment, in one of the four kinds
// of string, or in plain text; and in plain text whether a key is being
// written (at the start of a line, in a table header, after "{" or "," in an
// inline table) and within how many lists and inline tables. Where the text
// is not TOML the reader stops at the first fault, before anything deeper
// than these bounds is built, so the scan need only agree with it up to
// there.
class PlanTextScan {
  public:
    explicit PlanTextScan(std::string_view text) : text_(text) {}

    void Run() {
        while (at_ < text_.size()) {
            const char c = text_[at_];
            if (c == '\n') {
                NewLine();
                ++at_;
                continue;
            }
            CheckControl(c);
            if (state_ != State::Normal && c != ' ' && c != '\t') {
                lineStart_ = false;
            }
            if (state_ == State::Comment) {
                ++at_;
                continue;
            }
            if (static_cast<unsigned char>(c) >= 0x80) {
                RefuseLetter();
            }
            switch (state_) {
                case State::Normal:
                    Normal(c);
                    break;
                case State::Basic:
                    EndsAt(c, "\"", true);
                    break;
                case State::MultiBasic:
                    EndsAt(c, "\"\"\"", true);
                    break;
                case State::Literal:
                    EndsAt(c, "'", false);
                    break;
                case State::MultiLiteral:
                    EndsAt(c, "'''", false);
                    break;
                case State::Comment:
                    break;
            }
        }
    }

  private:
    enum class State { Normal, Comment, Basic, MultiBasic, Literal, MultiLiteral };

    void NewLine() {
        ++line_;
        lineStart_ = true;
        if (state_ == State::MultiBasic || state_ == State::MultiLiteral) {
            return;
        }
        state_ = State::Normal;
        inHeader_ = false;
        // A list may run over lines; outside one, a line starts with a key.
        if (open_.empty()) {
            StartKey();
        }
    }

    void StartKey() {
        inKey_ = true;
        keyParts_ = 1;
    }

    void CheckControl(char c) const {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t' && c != '\r') || byte == 0x7f) {
            char hex[8];
            const char* digits = "0123456789abcdef";
            hex[0] = digits[byte >> 4];
            hex[1] = digits[byte & 0xf];
            throw EPlanFileError(line_, "a control character '\\u00" + std::string(hex, 2) +
                                            "' cannot stand in the file");
        }
    }

    [[noreturn]] void RefuseLetter() const {
        // A well-formed UTF-8 letter is shown as itself, any other byte alone.
        const std::size_t length = Utf8CharLength(text_.substr(at_));
        const std::string letter(text_.substr(at_, length == 0 ? 1 : length));
        throw EPlanFileError(line_, "'" + letter + "' may stand only in a comment");
    }

    void Normal(char c) {
        if (lineStart_ && c != ' ' && c != '\t') {
            lineStart_ = false;
            if (c == '[' && open_.empty()) {
                CheckTableName();
                inHeader_ = true;
                ++at_;
                return;
            }
        }
        switch (c) {
            case '#':
                state_ = State::Comment;
                break;
            case '"':
                state_ = Starts("\"\"\"") ? State::MultiBasic : State::Basic;
                at_ += state_ == State::MultiBasic ? 2 : 0;
                break;
            case '\'':
                state_ = Starts("'''") ? State::MultiLiteral : State::Literal;
                at_ += state_ == State::MultiLiteral ? 2 : 0;
                break;
            case '.':
                if (inKey_ && ++keyParts_ > kMostKeyParts) {
                    throw EPlanFileError(line_, "key nested too deeply");
                }
                break;
            case '=':
                if (!inHeader_) {
                    inKey_ = false;
                }
                break;
            case '[':
            case '{':
                // The second "[" of an array-of-tables header opens nothing.
                if (!inHeader_) {
                    Open(c);
                }
                break;
            case ']':
            case '}':
                Close();
                break;
            case ',':
                if (!open_.empty() && open_.back() == '{') {
                    StartKey();
                }
                break;
            default:
                break;
        }
        ++at_;
    }

    void Open(char bracket) {
        open_ += bracket;
        if (open_.size() > kMostValueNesting) {
            throw EPlanFileError(line_, "value nested too deeply");
        }
        if (bracket == '{') {
            StartKey();
        } else {
            inKey_ = false;
        }
    }

    void Close() {
        if (inHeader_) {
            inHeader_ = false;
        } else if (!open_.empty()) {
            open_.pop_back();
        }
        inKey_ = false;
    }

    // "[name]" or "[[name]]": the name, after blanks, starts as a key may.
    void CheckTableName() const {
        size_t i = at_ + 1;
        if (i < text_.size() && text_[i] == '[') {
            ++i;
        }
        while (i < text_.size() && (text_[i] == ' ' || text_[i] == '\t')) {
            ++i;
        }
        const char c = i < text_.size() ? text_[i] : '\n';
        const bool keyStart = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                              (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '"' ||
                              c == '\'';
        if (!keyStart && static_cast<unsigned char>(c) < 0x80 && c != '\n') {
            CheckControl(c);
            throw EPlanFileError(line_,
                                 "a table name cannot start with '" + std::string(1, c) + "'");
        }
    }

    bool Starts(std::string_view marker) const {
        return text_.substr(at_, marker.size()) == marker;
    }

    void EndsAt(char c, std::string_view marker, bool escapes) {
        if (escapes && c == '\\') {
            // The escaped character is looked at too, but never ends the string.
            at_ += 1;
            if (at_ < text_.size() && text_[at_] != '\n') {
                CheckControl(text_[at_]);
                if (static_cast<unsigned char>(text_[at_]) >= 0x80) {
                    RefuseLetter();
                }
                ++at_;
            }
            return;
        }
        if (Starts(marker)) {
            state_ = State::Normal;
            at_ += marker.size();
            return;
        }
        ++at_;
    }

    std::string_view text_;
    size_t at_ = 0;
    int line_ = 1;
    bool lineStart_ = true;
    State state_ = State::Normal;
    // Plain text is part of a key, and of a table header's name.
    bool inKey_ = true;
    bool inHeader_ = false;
    std::size_t keyParts_ = 1;
    // The lists ('[') and inline tables ('{') the text is within, outermost first.
    std::string open_;
};

}  // namespace

void ScanPlanText(std::string_view text) {
    PlanTextScan(text).Run();
}
