#pragma once
// A typed-answer field without any drawing: what it takes, how long it may
// grow, what Backspace does, and which on-screen keypad goes with it. Each
// prompt that reads typed text names its field as data (a FieldSpec); the
// field takes the keys one by one and says what each one did, and the
// program draws the text its own way.
#include <cstddef>
#include <string>
#include <string_view>

namespace lk {

// The on-screen keypad a field asks the overlay for.
enum class KeypadLayout {
    number,    // 0-9, "-", "/", ".", ⌫, C, ↵: four by four
    equation,  // the number keys and x ( ) : = + ×: six by four
};

struct FieldSpec {
    // The characters it takes, each one a key (ASCII).
    std::string_view takes;
    // The most characters that may stand in it.
    std::size_t max_chars;
    // What a key does once max_chars stand: clear the field without being
    // taken (any key at all, Enter too), or be refused when it would add a
    // character (the field stays; Backspace, clear and Enter work).
    enum class AtLimit { clear, refuse } at_limit;
    // What Backspace does: clear the whole field, or delete its last
    // character.
    enum class Backspace { clear_all, delete_one } backspace;
    // Keys besides "\f" (Delete, the keypad's C) that clear the field.
    std::string_view clear_keys;
    KeypadLayout keypad;
};

// A number, a fraction or a decimal at the teacher programs' prompts: the
// keys "-" to "9", ten characters; Backspace clears it.
inline constexpr FieldSpec kNumberField{"-./0123456789", 10, FieldSpec::AtLimit::clear,
                                        FieldSpec::Backspace::clear_all, "", KeypadLayout::number};
// A student's answer in the practice program: a number, a fraction or a
// decimal, perhaps written "x = …"; "c" clears it too.
inline constexpr FieldSpec kAnswerField{"0123456789-+/.xX= ", 24, FieldSpec::AtLimit::refuse,
                                        FieldSpec::Backspace::delete_one, "cC", KeypadLayout::number};
// An equation in x, a ratio ("x : 6 = 2 : 3") among them.
inline constexpr FieldSpec kEquationField{"0123456789.x():=+-*/", 80, FieldSpec::AtLimit::refuse,
                                          FieldSpec::Backspace::delete_one, "", KeypadLayout::equation};

// What one key did to a field.
enum class FieldChange {
    refused,    // nothing: a key the field does not take, or no room for it
    taken,      // the character was added
    deleted,    // the last character went
    cleared,    // the whole field went
    submitted,  // Enter: the text stands as the answer
};

class AnswerField {
public:
    explicit AnswerField(const FieldSpec& spec) : spec_(spec) {}
    // One key as the platform gives it; a full-width form from an input
    // method counts as its plain key (plain_key).
    FieldChange key(std::string_view key);
    void clear() { text_.clear(); }
    const std::string& text() const { return text_; }
    const FieldSpec& spec() const { return spec_; }

private:
    FieldSpec spec_;
    std::string text_;
};

}  // namespace lk
