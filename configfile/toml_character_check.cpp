#include "configfile/toml_character_check.h"

#include <algorithm>

namespace quarnel {

namespace {

constexpr std::string_view UTF8_MARK = "\xEF\xBB\xBF";

constexpr char OUTSIDE_QUOTES[] = "syntax error: a non-ASCII character outside quotes and comments; texts go in quotes";
constexpr char AFTER_BACKSLASH[] =
    "syntax error: a non-ASCII character right after a backslash (or the blanks and line ends after one); "
    "write it as an escape such as \\u00E9";

// The library closes a multi-line string on three quotes and takes up to
// two more into the text.
constexpr std::size_t MOST_CLOSING_QUOTES = 5;

bool IsAscii(char c) { return static_cast<unsigned char>(c) < 0x80; }
bool IsBlankOrLineEnd(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

enum class Within { Nothing, Comment, BasicString, LiteralString, MultiLineBasic, MultiLineLiteral, BareValue };

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
// Where the library ends a number or date it scans ahead.
bool EndsBareValue(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == ']' || c == '}' || c == ',' || c == '#';
}

class Scan {
public:
    explicit Scan(std::string_view text) : text_(text) {}

    bool Run(int& line, std::string& reason) {
        while (at_ < text_.size()) {
            if (text_[at_] == '\n') {
                NewLine();
                continue;
            }
            if (!Step()) {
                line = line_;
                reason = refusal_;
                return false;
            }
        }
        return true;
    }

private:
    void NewLine() {
        ++line_, ++at_;
        // A single-line string left open is the library's syntax error, found there.
        if (within_ == Within::Comment || within_ == Within::BasicString || within_ == Within::LiteralString ||
            within_ == Within::BareValue)
            within_ = Within::Nothing;
        // A value ends with its line, unless an array holds it.
        if (containers_.empty()) valueNext_ = false;
    }

    std::size_t QuotesAt(std::size_t from, char quote) const {
        std::size_t n = 0;
        while (from + n < text_.size() && text_[from + n] == quote) ++n;
        return n;
    }

    bool Refuse(const char* reason) {
        refusal_ = reason;
        return false;
    }

    bool Step() {
        const char c = text_[at_];
        switch (within_) {
            case Within::Nothing:
                if (!IsAscii(c)) return Refuse(OUTSIDE_QUOTES);
                if (c == '#') {
                    within_ = Within::Comment;
                } else if (c == '"' || c == '\'') {
                    valueNext_ = false;
                    const bool multiLine = QuotesAt(at_, c) >= 3;
                    within_ = c == '"' ? (multiLine ? Within::MultiLineBasic : Within::BasicString)
                                       : (multiLine ? Within::MultiLineLiteral : Within::LiteralString);
                    at_ += multiLine ? 3 : 1;
                    return true;
                } else if (!IsBlankOrLineEnd(c)) {
                    Structure(c);
                }
                break;
            case Within::BareValue:
                if (EndsBareValue(c) && !DateGoesOnAt(at_)) {
                    within_ = Within::Nothing;
                    return true;  // the character is read again as structure
                }
                if (!IsAscii(c)) return Refuse(OUTSIDE_QUOTES);
                break;
            case Within::Comment: break;
            case Within::BasicString:
                if (c == '"') within_ = Within::Nothing;
                // An escaped quote stays inside; a line end is counted by Run.
                if (c == '\\' && at_ + 1 < text_.size() && text_[at_ + 1] != '\n') ++at_;
                break;
            case Within::LiteralString:
                if (c == '\'') within_ = Within::Nothing;
                break;
            case Within::MultiLineBasic:
                if (c == '\\') return AfterBackslash();
                if (c == '"') return ClosingQuotes(c);
                break;
            case Within::MultiLineLiteral:
                if (c == '\'') return ClosingQuotes(c);
                break;
        }
        ++at_;
        return true;
    }

    // The library asks whether the character after a backslash is a space;
    // after a line-ending backslash it asks again of every character up to
    // the first that is neither blank nor line end.
    bool AfterBackslash() {
        ++at_;
        if (at_ < text_.size() && IsBlankOrLineEnd(text_[at_])) {
            for (; at_ < text_.size() && IsBlankOrLineEnd(text_[at_]); ++at_)
                if (text_[at_] == '\n') ++line_;
            // The character there is read as any other (a quote may close the string).
            return at_ >= text_.size() || IsAscii(text_[at_]) || Refuse(AFTER_BACKSLASH);
        }
        if (at_ < text_.size() && !IsAscii(text_[at_])) return Refuse(AFTER_BACKSLASH);
        ++at_;  // the escaped character
        return true;
    }

    bool ClosingQuotes(char quote) {
        const std::size_t quotes = QuotesAt(at_, quote);
        if (quotes >= 3) within_ = Within::Nothing;
        at_ += quotes >= 3 ? std::min(quotes, MOST_CLOSING_QUOTES) : quotes;
        return true;
    }

    // Keys, values and the arrays and inline tables that hold them, as far
    // as the library's scan ahead needs: a value that starts with a digit or
    // sign is read up to its end whatever it holds, quotes included.
    void Structure(char c) {
        const bool inArray = !containers_.empty() && containers_.back() == '[';
        if (valueNext_ && (IsDigit(c) || c == '+' || c == '-')) {
            within_ = Within::BareValue;
            valueNext_ = false;
        } else if (valueNext_ && (c == '[' || c == '{')) {
            containers_.push_back(c);
            valueNext_ = c == '[';
        } else if ((c == ']' || c == '}') && !containers_.empty()) {
            containers_.pop_back();
            valueNext_ = false;
        } else {
            valueNext_ = c == '=' || (c == ',' && inArray);
        }
    }

    // A date, a blank and a digit: the library reads on into a time.
    bool DateGoesOnAt(std::size_t at) const {
        return text_[at] == ' ' && at + 1 < text_.size() && IsDigit(text_[at + 1]);
    }

    std::string_view text_;
    std::size_t at_ = 0;
    int line_ = 1;
    Within within_ = Within::Nothing;
    bool valueNext_ = false;  // the next character that is not blank starts a value
    std::string containers_;  // '[' and '{' of the values open here, innermost last
    const char* refusal_ = "";
};

}  // namespace

bool CheckTomlCharacters(std::string_view text, int& line, std::string& reason) {
    // The library skips a byte-order mark at the start, as a text editor writes it.
    if (text.substr(0, UTF8_MARK.size()) == UTF8_MARK) text.remove_prefix(UTF8_MARK.size());
    return Scan(text).Run(line, reason);
}

}  // namespace quarnel
