#pragma once
// Turns a token string into a tree: words, constants, groups and calls become nodes,
// then operators bind their neighbours level by level (2, power, to 8, .OR.).

#include <memory>
#include <string>
#include <vector>

#include "index/expr/TgsExpBaseObject.h"

class TgsExpHandler;
class TgsExpOperator;

class ExpParser {
public:
    explicit ExpParser(TgsExpHandler& handler) : handler_(handler) {}
    // Parses the whole token string (which it may rewrite: a sign joins the next word).
    std::unique_ptr<TgsExpBaseObject> Parse(std::string& tokens);

private:
    using NodeList = std::vector<std::unique_ptr<TgsExpBaseObject>>;

    std::unique_ptr<TgsExpBaseObject> ParseRange(std::string& t, size_t begin, size_t end,
                                                 int depth);
    // The position of the byte 10 that closes the byte 9 at `open`, or raises.
    size_t MatchingClose(const std::string& t, size_t open, size_t end) const;
    std::unique_ptr<TgsExpBaseObject> ParseCall(std::string& t, const std::string& name,
                                                size_t open, size_t close, int depth);
    // A name, keyword or number; null for a word that is skipped. Sets `isOperator`
    // for the keyword operators.
    std::unique_ptr<TgsExpBaseObject> ParseWord(const std::string& word, bool& isOperator);
    std::unique_ptr<TgsExpBaseObject> MakeOperator(uint8_t code, uint8_t precedence,
                                                   const std::string& keyword = std::string());
    static void Bind(NodeList& list);

    TgsExpHandler& handler_;
};
