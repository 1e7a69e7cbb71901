#include "common/reserved_key.h"

bool is_reserved_key(const int key_code) { return key_code == 1 || key_code == 59 || key_code == 69; }
