#pragma once
// PADC, PADL and PADR: one reading of the arguments, three ways of padding.

#include "index/expr/TgsUserDefFunction.h"

class TgsUDFPadMain : public TgsUserDefFunction {
public:
    // Reads the pad character (argument 3: absent gives a blank, a one-character text
    // gives that character), then the text and the length, pads and cuts to length.
    bool Execute(TgsExpFunction& call, TgsExpBuffer buffer, TgsExpKind& kind) override;

protected:
    // Pads the `length`-character text in `text` to targetLength_ (which is larger).
    virtual void Pad(char* text, size_t length) = 0;

    char padChar_ = ' ';
    char* text_ = nullptr;
    size_t targetLength_ = 0;
};

class TgsUDFPadC : public TgsUDFPadMain {
public:
    std::string FunctionName() const override { return "PADC"; }

protected:
    void Pad(char* text, size_t length) override;
};

class TgsUDFPadL : public TgsUDFPadMain {
public:
    std::string FunctionName() const override { return "PADL"; }

protected:
    void Pad(char* text, size_t length) override;
};

class TgsUDFPadR : public TgsUDFPadMain {
public:
    std::string FunctionName() const override { return "PADR"; }

protected:
    void Pad(char* text, size_t length) override;
};
