#pragma once
#include <string>
#include <vector>

// Splits one line of text into arguments. Every separator character ends a field, so empty fields
// between two separators (or after a trailing one) are kept: "a;;b;" gives "a", "", "b", "".
// Fields are taken as they are: no trimming and no quoting. An empty text gives no fields.
class arg_t {
public:
    arg_t() = default;

    // Splits `text` at every character of `separators` and returns the number of fields.
    // A null text gives no fields; a null or empty separator set gives the whole text as one field.
    int separate(const char* text, const char* separators);

    // Number of fields of the last split.
    int count() const { return static_cast<int>(fields_.size()); }
    // Field `index` of the last split, NUL-terminated; null when `index` is out of range.
    const char* get(int index) const;
    // Same as `get`.
    const char* operator[](int index) const { return get(index); }

private:
    std::vector<std::string> fields_;
};
