# void* CatchRuntimeErrors(void* object, int classIndex): RuntimeCheckCast from a marked call;
# the trailer's handler for project class 0 (RuntimeException) returns the exception.
    .include "kwapp.inc"
    KW_CATCHING_CALL CatchRuntimeErrors, RuntimeCheckCast, 2, 0
    .section .note.GNU-stack,"",@progbits
