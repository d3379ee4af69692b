#pragma once
// What a test driving a real window or page needs to know of the program:
// which prompt waits and where, on the surface, its choices, the toolbar's
// buttons and the keypad's keys are. One line of words NAME=VALUE, written
// the same way for the window's test log and the page's test object:
//   n=4 kind=bar step=0 choice1=60,680 ... view=2048,768 keypad_shown=1 toolbar=1
//   pen_on=0 strokes=0 back=2016,40,56,56 pen=2016,136,56,56 ... key1=1766,617,64,64 ...
// An answer field adds what a driver types to answer it (expected=-13/5)
// and its buttons (hint_button=…, menu_button=…).
// Places are in window units (CSS px), what a mouse event or a Pointer
// Event's clientX/clientY gives: a choice's centre, a button's centre and
// size.
#include <string>

#include "overlay/overlay.h"
#include "prompt.h"

namespace lk {

const char* prompt_kind_name(PromptKind kind);
// The overlay alone: what shows and where its targets are.
std::string describe_overlay(const overlay::Overlay& overlay);
// The n-th prompt announced, its choices, and the overlay.
std::string describe_prompt(int n, const PromptEvent& prompt, const overlay::Overlay& overlay);

}  // namespace lk
