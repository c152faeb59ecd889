// Whether tool windows may collapse to their caption bar while inactive. Message boxes switch
// it off while they are up, so that the window behind them does not fold away.
#pragma once

// True at load; read by the window framework when a window loses activation.
extern bool __bWindowshadeAllowed;

void AllowWindowshade(bool state);
