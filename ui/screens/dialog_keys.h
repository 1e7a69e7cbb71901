#pragma once

// The keys that answer the truck shop's dialogs: Enter confirms, Esc leaves.

// Key codes of Enter and Esc.
constexpr int dialog_enter_key = 28;
constexpr int dialog_escape_key = 1;

// The key of event `code` with `param` when it is Enter or Esc let go (code 8), else 0.
int dialog_answer_key(int code, const void* param);
