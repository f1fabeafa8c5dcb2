#include "index/expr/ExpParser.h"

#include <cstring>

#include "engine/Exception.h"
#include "engine/RunErrors.h"
#include "engine/platform/Locale.h"
#include "index/expr/ExpDates.h"
#include "index/expr/ExpMessages.h"
#include "index/expr/ExpNumbers.h"
#include "index/expr/ExpTokenizer.h"
#include "index/expr/TgsExpContainer.h"
#include "index/expr/TgsExpFieldvar.h"
#include "index/expr/TgsExpFunction.h"
#include "index/expr/TgsExpHandler.h"
#include "index/expr/TgsExpBlnLit.h"
#include "index/expr/TgsExpDateLit.h"
#include "index/expr/TgsExpNumLit.h"
#include "index/expr/TgsExpTextLit.h"
#include "index/expr/TgsExpOperator.h"
#include "index/expr/TgsExpUserLink.h"

namespace {

bool IsControl(char c) { return static_cast<unsigned char>(c) <= exptok::Blank; }

bool IsLetter(unsigned char c) {
    const platform::Locale& loc = platform::CurrentLocale();
    return loc.Upper(c) != c || loc.Lower(c) != c;
}

bool IsOperatorNode(const TgsExpBaseObject& n) {
    return n.NodeKind() == expnode::Operator || n.NodeKind() == expnode::BoundOperator;
}

TgsExpOperator* UnboundOperator(TgsExpBaseObject& n) {
    return n.NodeKind() == expnode::Operator ? static_cast<TgsExpOperator*>(&n) : nullptr;
}

}  // namespace

std::unique_ptr<TgsExpBaseObject> ExpParser::Parse(std::string& tokens) {
    return ParseRange(tokens, 0, tokens.size(), 1);
}

std::unique_ptr<TgsExpBaseObject> ExpParser::MakeOperator(uint8_t code, uint8_t precedence,
                                                          const std::string& keyword) {
    return std::make_unique<TgsExpOperator>(code, precedence, handler_.CompareFlags(), keyword);
}

size_t ExpParser::MatchingClose(const std::string& t, size_t open, size_t end) const {
    int level = 0;
    for (size_t i = open; i < end; ++i) {
        if (t[i] == exptok::OpenParen) ++level;
        if (t[i] == exptok::CloseParen && --level == 0) return i;
    }
    throw ExpMissingParenthesis();
}

std::unique_ptr<TgsExpBaseObject> ExpParser::ParseRange(std::string& t, size_t begin,
                                                        size_t end, int depth) {
    if (depth > kExpMaxDepth) throw ExpTooDeep();
    NodeList list;
    // A sign that began no number: it applies to the next operand ('-' negates it).
    char pendingSign = 0;
    auto push = [&](std::unique_ptr<TgsExpBaseObject> node, bool operand) {
        if (pendingSign && !operand) {
            // A lone sign before an operator reads as the number it failed to be: 0.
            list.push_back(std::make_unique<TgsExpNumLit>(0, 1, 0));
            pendingSign = 0;
        }
        if (pendingSign == '-') {
            auto neg = MakeOperator(expop::Minus, 4);
            neg->SetLeft(std::make_unique<TgsExpNumLit>(0, 1, 0));
            neg->SetRight(std::move(node));
            static_cast<TgsExpOperator*>(neg.get())->MarkBound();
            node = std::make_unique<TgsExpContainer>(std::move(neg));
        }
        pendingSign = 0;
        list.push_back(std::move(node));
    };

    size_t i = begin;
    while (i < end) {
        const char c = t[i];
        if (c == exptok::Blank) {
            ++i;
            continue;
        }
        if (!IsControl(c)) {
            size_t start = i++;
            const bool dotted = c == '.';
            while (i < end && !IsControl(t[i])) {
                if (dotted && t[i] == '.') {
                    ++i;
                    break;
                }
                ++i;
            }
            std::string word = platform::CurrentLocale().UpperCase(t.substr(start, i - start));
            const bool call = i < end && t[i] == exptok::OpenParen;
            char sign = 0;
            double number;
            if ((word[0] == '+' || word[0] == '-') &&
                (call || !expnum::ParseLiteral(word, number)) &&
                (word.size() == 1 || !(word[1] >= '0' && word[1] <= '9'))) {
                // A sign before a name, a call or a group negates it.
                sign = word[0];
                word.erase(0, 1);
            }
            if (sign) {
                char outer = pendingSign;
                pendingSign = outer == '-' ? (sign == '-' ? '+' : '-') : sign;
                if (word.empty()) continue;
            }
            if (call) {
                size_t close = MatchingClose(t, i, end);
                push(ParseCall(t, word, i, close, depth), true);
                i = close + 1;
                continue;
            }
            bool isOperator = false;
            std::unique_ptr<TgsExpBaseObject> node = ParseWord(word, isOperator);
            if (node) push(std::move(node), !isOperator);
            continue;
        }
        if (c >= 2 && c <= 8) {
            const uint8_t code = i + 1 < end ? static_cast<uint8_t>(t[i + 1]) : 0;
            if ((code == expop::Plus || code == expop::Minus) &&
                (list.empty() || IsOperatorNode(*list.back()) || pendingSign)) {
                // A sign: it becomes the first character of the next word.
                t[i + 1] = code == expop::Plus ? '+' : '-';
                ++i;
                continue;
            }
            push(MakeOperator(code, static_cast<uint8_t>(c)), false);
            i += 2;
            continue;
        }
        if (c == exptok::OpenParen) {
            size_t close = MatchingClose(t, i, end);
            push(std::make_unique<TgsExpContainer>(ParseRange(t, i + 1, close, depth + 1)), true);
            i = close + 1;
            continue;
        }
        if (c == exptok::TextOpen || c == exptok::DateOpen) {
            const char closer = c == exptok::TextOpen ? exptok::TextClose : exptok::DateClose;
            size_t stop = i + 1;
            while (stop < end && t[stop] != closer) ++stop;
            std::string text = t.substr(i + 1, stop - i - 1);
            if (c == exptok::TextOpen) {
                push(std::make_unique<TgsExpTextLit>(text), true);
            } else {
                int64_t day;
                try {
                    day = expdate::JulianFromText(text);
                } catch (const EConvertError&) {
                    throw ExpInvalidDate(text);
                }
                push(std::make_unique<TgsExpDateLit>(day > 0 ? static_cast<double>(day) : kEmptyDate),
                     true);
            }
            handler_.NoteOperand(false, 0, 0);
            i = stop + 1;
            continue;
        }
        ++i;  // a stray ")", "," or closing quote
    }
    if (pendingSign) list.push_back(std::make_unique<TgsExpNumLit>(0, 1, 0));
    Bind(list);
    if (list.size() != 1) throw ExpCannotEvaluate();
    return std::move(list.front());
}

std::unique_ptr<TgsExpBaseObject> ExpParser::ParseWord(const std::string& word, bool& isOperator) {
    const unsigned char first = static_cast<unsigned char>(word[0]);
    if (first == '.' || first == '_' || IsLetter(first)) {
        if (word.size() >= 2) {
            std::string key = word;
            if (key.front() == '.') key.erase(0, 1);
            if (!key.empty() && key.back() == '.') key.pop_back();
            struct Keyword {
                const char* name;
                uint8_t code, precedence;
            };
            static const Keyword kKeywords[] = {
                {"EQ", expop::Equal, 5},    {"LE", expop::LessEqual, 5},
                {"LT", expop::Less, 5},     {"GE", expop::GreaterEqual, 5},
                {"GT", expop::Greater, 5},  {"AND", expop::And, 7},
                {"OR", expop::Or, 8},       {"NOT", expop::Not, 6},
                {"LIKE", expop::Keyword, 5}, {"POS", expop::Keyword, 5},
            };
            if (key == "T" || key == "TRUE" || key == "F" || key == "FALSE") {
                handler_.NoteOperand(false, 0, 0);
                return std::make_unique<TgsExpBlnLit>(key[0] == 'T');
            }
            for (const Keyword& k : kKeywords) {
                if (key == k.name) {
                    isOperator = true;
                    return MakeOperator(k.code, k.precedence,
                                        k.code == expop::Keyword ? key : std::string());
                }
            }
        }
        TgsExpUserLink* link = handler_.UserLink();
        TgsUserDefFieldVar* var = link ? link->FindFieldVar(word) : nullptr;
        if (!var) throw ExpUnknownName(word);
        auto node = std::make_unique<TgsExpFieldvar>(&handler_, var);
        handler_.NoteOperand(true, node->Width(), node->Decimals());
        return node;
    }
    if (first == '+' || first == '-' || (first >= '0' && first <= '9')) {
        double value = 0;
        if (!expnum::ParseLiteral(word, value)) value = 0;
        size_t point = word.find('.');
        int32_t decimals = point == std::string::npos ? 0 : static_cast<int32_t>(word.size() - point - 1);
        auto node = std::make_unique<TgsExpNumLit>(value, static_cast<int32_t>(word.size()), decimals);
        handler_.NoteOperand(true, node->Width(), node->Decimals());
        return node;
    }
    return nullptr;  // a word of any other character is skipped
}

std::unique_ptr<TgsExpBaseObject> ExpParser::ParseCall(std::string& t, const std::string& name,
                                                       size_t open, size_t close, int depth) {
    TgsUserDefFunction* function = GlobalFunctionRegistry().Find(name);
    if (!function && handler_.UserLink()) function = handler_.UserLink()->FindFunction(name);
    if (!function) throw ExpNoFunction(name);
    auto call = std::make_unique<TgsExpFunction>(&handler_, function);
    handler_.NoteOperand(false, 0, 0);
    size_t b = open + 1;
    bool blank = true;
    for (size_t i = b; i < close; ++i) blank = blank && t[i] == exptok::Blank;
    if (blank) return call;
    int parens = 0;
    char quote = 0;
    for (size_t i = b; i <= close; ++i) {
        if (i < close) {
            const char c = t[i];
            if (quote) {
                if (c == quote) quote = 0;
                continue;
            }
            if (c == exptok::TextOpen) quote = exptok::TextClose;
            if (c == exptok::DateOpen) quote = exptok::DateClose;
            if (c == exptok::OpenParen) ++parens;
            if (c == exptok::CloseParen) --parens;
            if (c != exptok::Comma || parens != 0) continue;
        }
        call->AddArgument(ParseRange(t, b, i, depth + 1));
        b = i + 1;
    }
    return call;
}

void ExpParser::Bind(NodeList& list) {
    for (uint8_t level = 2; level <= 8 && list.size() > 1; ++level) {
        while (list.size() > 1) {
            size_t at = list.size();
            for (size_t i = 0; i < list.size(); ++i) {
                TgsExpOperator* op = UnboundOperator(*list[i]);
                if (op && op->Precedence() == level) {
                    at = i;
                    break;
                }
            }
            if (at == list.size()) break;
            TgsExpOperator* op = static_cast<TgsExpOperator*>(list[at].get());
            if (at + 1 < list.size()) {
                op->SetRight(std::move(list[at + 1]));
                list.erase(list.begin() + static_cast<long>(at) + 1);
            }
            if (op->Code() != expop::Not && at > 0) {
                op->SetLeft(std::move(list[at - 1]));
                list.erase(list.begin() + static_cast<long>(at) - 1);
            }
            op->MarkBound();
        }
    }
}
