#include "transfer/transfer.h"

// Placeholders until the database transfer lands.
void ReadEncoderDatabaseV8() {}
void ReadEncoderDatabaseV7() {}
void WriteEncoderDatabaseV8() {}
void WriteEncoderDatabaseV7() {}
