// Keeps the output of window tests clean: drops the offscreen platform's notice about
// size hints, passes every other message on.
#pragma once

void installQuietMessageHandler();
