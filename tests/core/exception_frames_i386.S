# Application routines as the code generator lays them out: frame-pointer frames, call-site
# markers after calls into the engine, and trailers (C9 C3 2F, operations, 00) at their ends.
# The C++ tests call them with the C calling convention.

# A handler entry of a trailer: class index (i16) and displacement (i32), both big-endian, the
# displacement counted from its own field.
.macro HANDLER index, target
    .byte 0x04, ((\index) >> 8) & 0xff, (\index) & 0xff
9:  .byte ((\target - 9b) >> 24) & 0xff, ((\target - 9b) >> 16) & 0xff, ((\target - 9b) >> 8) & 0xff, (\target - 9b) & 0xff
.endm

# A routine that has a handler keeps the caller's ebx, esi and edi in its frame and restores
# them on both ways out: a raise abandons the engine's frames without their epilogues.
.macro ENTER_CATCHING
    push %ebp
    mov %esp, %ebp
    sub $8, %esp
    push %ebx
    push %esi
    push %edi
    movl $0, -4(%ebp)
.endm

.macro HANDLER_STACK
    lea -20(%ebp), %esp
.endm

.macro LEAVE_CATCHING
    mov -12(%ebp), %ebx
    mov -16(%ebp), %esi
    mov -20(%ebp), %edi
    leave
    ret
.endm

    .text

# RuntimeObject* CatchClass0(RuntimeObject* exception): raises it from a marked call; a handler
# for project class 0 returns the caught exception (0 on a normal return).
    .globl CatchClass0
CatchClass0:
    ENTER_CATCHING
    pushl 8(%ebp)
    call RuntimeRaiseException
    .byte 0xEB, 0x02, 0x2F, 0x00
    add $4, %esp
    xor %eax, %eax
    jmp 1f
2:  HANDLER_STACK
    mov -4(%ebp), %eax
    movl $0, -4(%ebp)
1:  LEAVE_CATCHING
    .byte 0x2F
    HANDLER 0, 2b
    .byte 0x00

# RuntimeObject* CatchClass1(RuntimeObject* exception): the same with a handler for class 1.
    .globl CatchClass1
CatchClass1:
    ENTER_CATCHING
    pushl 8(%ebp)
    call RuntimeRaiseException
    .byte 0xEB, 0x02, 0x2F, 0x00
    add $4, %esp
    xor %eax, %eax
    jmp 1f
2:  HANDLER_STACK
    mov -4(%ebp), %eax
    movl $0, -4(%ebp)
1:  LEAVE_CATCHING
    .byte 0x2F
    .byte 0x99                      # unknown operations are skipped
    HANDLER 1, 2b
    .byte 0x00

# RuntimeObject* CastOrCatch(RuntimeObject* object, int classIndex): RuntimeCheckCast from a
# marked call; class 0's handler returns the exception, a successful cast returns 0.
    .globl CastOrCatch
CastOrCatch:
    ENTER_CATCHING
    pushl 12(%ebp)
    pushl 8(%ebp)
    call RuntimeCheckCast
    .byte 0xEB, 0x02, 0x2F, 0x00
    add $8, %esp
    xor %eax, %eax
    jmp 1f
2:  HANDLER_STACK
    mov -4(%ebp), %eax
    movl $0, -4(%ebp)
1:  LEAVE_CATCHING
    .byte 0x2F
    HANDLER 0, 2b
    .byte 0x00

# int innerHandlerRan: set when NoCatchInner's own handler runs (it never should).
    .data
    .globl innerHandlerRan
innerHandlerRan:
    .long 0
    .text

# void NoCatchInner(RuntimeObject* exception): raises from a call marked 0x07 (no catch), so its
# own handler for class 0 must not take the exception.
NoCatchInner:
    ENTER_CATCHING
    pushl 8(%ebp)
    call RuntimeRaiseException
    .byte 0xEB, 0x03, 0x2F, 0x07, 0x00
    add $4, %esp
    jmp 1f
2:  HANDLER_STACK
    movl $1, innerHandlerRan
1:  LEAVE_CATCHING
    .byte 0x2F
    HANDLER 0, 2b
    .byte 0x00

# RuntimeObject* NoCatchOuter(RuntimeObject* exception): calls NoCatchInner from a marked call
# and catches class 0 itself.
    .globl NoCatchOuter
NoCatchOuter:
    ENTER_CATCHING
    pushl 8(%ebp)
    call NoCatchInner
    .byte 0xEB, 0x02, 0x2F, 0x00
    add $4, %esp
    xor %eax, %eax
    jmp 1f
2:  HANDLER_STACK
    mov -4(%ebp), %eax
    movl $0, -4(%ebp)
1:  LEAVE_CATCHING
    .byte 0x2F
    HANDLER 0, 2b
    .byte 0x00

# The argument slot of the call below as the handler found it.
    .data
    .globl argumentSlotAfterRaise
argumentSlotAfterRaise:
    .long 0xFFFFFFFF
    .text

# RuntimeObject* ReleaseArgument(RuntimeString* text, RuntimeObject* exception): calls
# RaiseWithText(text, exception) from a call whose marker releases the string argument.
    .globl ReleaseArgument
ReleaseArgument:
    ENTER_CATCHING
    pushl 12(%ebp)
    pushl 8(%ebp)                   # the argument slot at ebp - 28
    call RaiseWithText
    .byte 0xEB, 0x04, 0x2F, 0x01, 0x00, 0x00
    add $8, %esp
    xor %eax, %eax
    jmp 1f
2:  mov -28(%ebp), %eax
    mov %eax, argumentSlotAfterRaise
    HANDLER_STACK
    mov -4(%ebp), %eax
    movl $0, -4(%ebp)
1:  LEAVE_CATCHING
    .byte 0x2F
    HANDLER 0, 2b
    .byte 0x00

# void HoldLocals(RuntimeString* text, RuntimeObject* object, RuntimeObject* first,
#                 RuntimeObject* exception): keeps text and object in locals listed by its
# trailer, first in its first local slot, and raises; it has no handler.
HoldLocals:
    push %ebp
    mov %esp, %ebp
    sub $16, %esp
    mov 16(%ebp), %eax
    mov %eax, -4(%ebp)
    mov 8(%ebp), %eax
    mov %eax, -8(%ebp)
    mov 12(%ebp), %eax
    mov %eax, -12(%ebp)
    pushl 20(%ebp)
    call RuntimeRaiseException
    .byte 0xEB, 0x02, 0x2F, 0x00
    add $4, %esp
    leave
    ret
    .byte 0x2F
    .byte 0x05, 0xFF, 0xF8          # the string at ebp - 8
    .byte 0x06, 0xFF, 0xF4          # the object at ebp - 12
    .byte 0x00

# RuntimeObject* CatchAboveLocals(text, object, first, exception): calls HoldLocals from a
# marked call and catches class 0.
    .globl CatchAboveLocals
CatchAboveLocals:
    ENTER_CATCHING
    pushl 20(%ebp)
    pushl 16(%ebp)
    pushl 12(%ebp)
    pushl 8(%ebp)
    call HoldLocals
    .byte 0xEB, 0x02, 0x2F, 0x00
    add $16, %esp
    xor %eax, %eax
    jmp 1f
2:  HANDLER_STACK
    mov -4(%ebp), %eax
    movl $0, -4(%ebp)
1:  LEAVE_CATCHING
    .byte 0x2F
    HANDLER 0, 2b
    .byte 0x00

# void RaiseWithBrokenReturn(RuntimeObject* exception): its saved return address points at
# unreadable memory; the walk must stop there, not fault.
    .globl RaiseWithBrokenReturn
RaiseWithBrokenReturn:
    push %ebp
    mov %esp, %ebp
    movl $0x10, 4(%ebp)
    pushl 8(%ebp)
    call RuntimeRaiseException
    .byte 0xEB, 0x02, 0x2F, 0x00
    leave
    ret
    .byte 0x2F, 0x00

# void RaiseWithBrokenFrame(RuntimeObject* exception): its saved frame pointer is garbage.
    .globl RaiseWithBrokenFrame
RaiseWithBrokenFrame:
    push %ebp
    mov %esp, %ebp
    movl $0x10, (%ebp)
    pushl 8(%ebp)
    call RuntimeRaiseException
    .byte 0xEB, 0x02, 0x2F, 0x00
    leave
    ret
    .byte 0x2F, 0x00

    .section .note.GNU-stack,"",@progbits
