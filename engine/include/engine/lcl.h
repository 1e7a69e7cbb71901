#pragma once

// Translation of user-visible texts. A text key between double at-signs ("@@ui_week@@") is replaced by
// what the module's translation callback answers for the key ("ui_week"); without a callback, or when it
// answers null, the key stays as it was written (with its at-signs).

// The module's translation function: text key in, text to show out (valid until the next call).
using lcl_callback_fn = const char* (*)(const char* key);

// Takes and gives back one use of the translation service; the callback is forgotten when the last use
// is given back.
void lcl_api_request();
void lcl_api_release();
// Sets the translation callback (null removes it).
void lcl_callback(lcl_callback_fn callback);
// Translates every "@@key@@" of `text`; the result stays valid until the next call. Null gives "".
const char* lcl_translate(const char* text);
// Answers the uses taken and not given back.
int lcl_api_uses();

#include <string>
#include <string_view>
// Engine side: the translation of `text` as an owned string (what lcl_translate answers).
std::string lcl_translate_text(std::string_view text);
