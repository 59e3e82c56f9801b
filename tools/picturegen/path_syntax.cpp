#include "path_syntax.h"

#include <cctype>
#include <string>

namespace picturegen {

namespace {

constexpr std::string_view kPathCommands = "MLHVQCZ";

bool is_path_command(const std::string& word) {
    return word.size() == 1 && kPathCommands.find(static_cast<char>(std::toupper(
                                   static_cast<unsigned char>(word[0])))) != std::string_view::npos;
}

class PathReader {
  public:
    explicit PathReader(const CommandWords& words) : words_(words) {}

    Path read() {
        while (next_ < words_.count()) {
            const std::string& word = words_[next_];
            if (is_path_command(word)) {
                command_ = word[0];
                ++next_;
                if (path_.empty() && std::toupper(static_cast<unsigned char>(command_)) != 'M') {
                    words_.fail("a path must start with M");
                }
                if (std::toupper(static_cast<unsigned char>(command_)) == 'Z') {
                    path_.push_back({PathElement::Kind::Close, {}});
                    current_ = start_;
                }
                continue;
            }
            if (command_ == 0) {
                words_.fail("a path must start with M, not " + in_quotes(word));
            }
            if (std::toupper(static_cast<unsigned char>(command_)) == 'Z') {
                words_.fail("unexpected " + in_quotes(word) + " after Z (start a new part with M)");
            }
            read_operands();
        }
        if (path_.empty()) {
            words_.fail("empty path");
        }
        return std::move(path_);
    }

  private:
    bool relative() const { return std::islower(static_cast<unsigned char>(command_)) != 0; }

    Point point_operand() {
        Point p = words_.point(words_[next_++], std::string("path command ") + command_);
        if (relative()) {
            p = {current_.x + p.x, current_.y + p.y};
        }
        return p;
    }

    double number_operand() {
        const double v =
            words_.number(words_[next_++], std::string("path command ") + command_, -1e6, 1e6);
        return v;
    }

    void need(std::size_t operands) const {
        if (next_ + operands > words_.count()) {
            words_.fail(std::string("path command ") + command_ + " needs " +
                        std::to_string(operands) + " operand(s)");
        }
    }

    void read_operands() {
        using Kind = PathElement::Kind;
        switch (std::toupper(static_cast<unsigned char>(command_))) {
        case 'M':
            need(1);
            current_ = start_ = point_operand();
            path_.push_back({Kind::Move, {current_}});
            command_ = relative() ? 'l' : 'L'; // further points draw lines, as in SVG
            break;
        case 'L':
            need(1);
            current_ = point_operand();
            path_.push_back({Kind::Line, {current_}});
            break;
        case 'H':
            need(1);
            current_.x = number_operand() + (relative() ? current_.x : 0);
            path_.push_back({Kind::Line, {current_}});
            break;
        case 'V':
            need(1);
            current_.y = number_operand() + (relative() ? current_.y : 0);
            path_.push_back({Kind::Line, {current_}});
            break;
        case 'Q': {
            need(2);
            const Point c = point_operand(), p = point_operand();
            path_.push_back({Kind::Quad, {c, p}});
            current_ = p;
            break;
        }
        default: { // 'C'
            need(3);
            const Point c1 = point_operand(), c2 = point_operand(), p = point_operand();
            path_.push_back({Kind::Cubic, {c1, c2, p}});
            current_ = p;
            break;
        }
        }
    }

    const CommandWords& words_;
    Path path_;
    std::size_t next_ = 0;
    char command_ = 0;
    Point current_, start_;
};

} // namespace

Path parse_path(const CommandWords& words) {
    return PathReader(words).read();
}

} // namespace picturegen
