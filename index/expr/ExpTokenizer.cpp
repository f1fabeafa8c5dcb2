#include "index/expr/ExpTokenizer.h"

#include <cstring>

#include "index/expr/ExpKinds.h"
#include "index/expr/ExpMessages.h"
#include "index/expr/TgsExpOperator.h"

namespace exptok {
namespace {

uint8_t SingleOperator(char c) {
    switch (c) {
        case '+': return expop::Plus;
        case '-': return expop::Minus;
        case '*': return expop::Times;
        case '/': return expop::Divide;
        case '^': return expop::Power;
        case '=': return expop::Equal;
        case '#': return expop::NotEqual;
        case '>': return expop::Greater;
        case '<': return expop::Less;
        case '!': return expop::Not;
        default: return 0;
    }
}

// The code of the pair (previous, current), 0 when they make none; '.' for "->".
uint8_t PairOperator(char prev, char c) {
    if (prev == '*' && c == '*') return expop::Power;
    if ((prev == '<' && c == '=') || (prev == '=' && c == '<')) return expop::LessEqual;
    if ((prev == '>' && c == '=') || (prev == '=' && c == '>')) return expop::GreaterEqual;
    if ((prev == '<' && c == '>') || (prev == '!' && c == '=')) return expop::NotEqual;
    if (prev == '=' && c == '=') return expop::ExactlyEqual;
    if (prev == '-' && c == '>') return '.';
    return 0;
}

void PutOperator(std::string& out, uint8_t code) {
    out += static_cast<char>(expop::Precedence(code));
    out += static_cast<char>(code);
}

}  // namespace

std::string Tokenize(const std::string& source) {
    const size_t length = std::strlen(source.c_str());
    if (length > kExpMaxText) throw ExpTextTooLong();
    std::string out;
    out.reserve(length * 2);
    char expect = 0;       // the closing character while inside a quote
    bool date = false;     // the quote is a date's
    char lastOp = 0;       // the source character of the operator just written
    for (size_t i = 0; i < length; ++i) {
        const char c = source[i];
        if (expect) {
            if (c == expect) {
                out += date ? DateClose : TextClose;
                expect = 0;
            } else {
                out += c;
            }
            continue;
        }
        const char prevOp = lastOp;
        lastOp = 0;
        switch (c) {
            case '{': out += DateOpen; expect = '}'; date = true; continue;
            case '[': out += TextOpen; expect = ']'; date = false; continue;
            case '"': case '\'': case ']': case '}': out += TextOpen; expect = c; date = false; continue;
            case ' ': out += Blank; continue;
            case '(': out += OpenParen; continue;
            case ')': out += CloseParen; continue;
            case ',': out += Comma; continue;
            default: break;
        }
        if (uint8_t code = SingleOperator(c)) {
            uint8_t pair = prevOp ? PairOperator(prevOp, c) : 0;
            if (pair) {
                out.resize(out.size() - 2);
                if (pair == '.') {
                    out += '.';
                    continue;
                }
                PutOperator(out, pair);
                continue;  // a pair is not the first half of another
            }
            PutOperator(out, code);
            lastOp = c;
            continue;
        }
        out += c;
    }
    return out;
}

}  // namespace exptok
