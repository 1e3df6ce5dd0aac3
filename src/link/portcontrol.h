#pragma once

// Opens a closed port (with the search for the encoder) or closes an open one.
void OpenClosePort();
