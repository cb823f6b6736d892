# void* CatchIntRead(void* array, int index) and void* CatchVariantToInt(void* variant): each
# calls its service from a marked call; the trailer's handler for project class 0
# (RuntimeException) returns the exception, a normal return gives 0.
    .include "kwapp.inc"
    KW_CATCHING_CALL CatchIntRead, RuntimeDirectReadIntArray, 2, 0
    KW_CATCHING_CALL CatchVariantToInt, variantToInt, 1, 0
    .section .note.GNU-stack,"",@progbits
