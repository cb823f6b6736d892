# void* CatchIntRead(void* array, int index) and void* CatchVariantToInt(void* variant): each
# calls its service from a marked call; the trailer's handler for project class 0
# (RuntimeException) returns the exception, a normal return gives 0. The routines keep their
# caller's ebx, esi and edi in the frame and restore them on both ways out, since a raise
# abandons the engine's frames without their epilogues.
    .macro catching name, service, words
    .text
    .globl \name
\name:
    push %ebp
    mov %esp, %ebp
    sub $8, %esp
    push %ebx
    push %esi
    push %edi
    movl $0, -4(%ebp)
    .if \words == 2
    pushl 12(%ebp)
    .endif
    pushl 8(%ebp)
    call \service
    .byte 0xEB, 0x02, 0x2F, 0x00
    add $(4 * \words), %esp
    xor %eax, %eax
    jmp 1f
2:  lea -20(%ebp), %esp
    mov -4(%ebp), %eax
    movl $0, -4(%ebp)
1:  mov -12(%ebp), %ebx
    mov -16(%ebp), %esi
    mov -20(%ebp), %edi
    leave
    ret
    .byte 0x2F
    .byte 0x04, 0x00, 0x00
3:  .byte ((2b - 3b) >> 24) & 0xff, ((2b - 3b) >> 16) & 0xff, ((2b - 3b) >> 8) & 0xff, (2b - 3b) & 0xff
    .byte 0x00
    .endm

    catching CatchIntRead, RuntimeDirectReadIntArray, 2
    catching CatchVariantToInt, variantToInt, 1
    .section .note.GNU-stack,"",@progbits
