#include "extraction_state.h"

ExtractionState extraction;

void ResetExtractionState() {
    extraction = ExtractionState{};
}
