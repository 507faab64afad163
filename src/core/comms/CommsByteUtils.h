#pragma once
// Byte helpers for framed protocols, kept with the serial-port component.

#include <cstdint>

// 1 when the XOR of buf[st..en] equals buf[en + 1], else 0 (XOR is 0 for en < st).
int BCC_Check(const uint8_t* buf, uint16_t st, uint16_t en);
// Index after the first pair (first, second) in buf[0..n-1]; second == '*'
// matches any byte. 0 when none. buf must hold n + 1 bytes.
uint16_t Find_Char(const uint8_t* buf, uint8_t first, uint8_t second, uint16_t n);
// Copies len bytes; stores a zero byte after them when zt_flag is set.
void Byte_Move(const uint8_t* src, uint8_t* dest, int len, bool zt_flag);
