# Fails when an object of the file layer, the seam's own (FileSystemCalls) aside, calls the system's file
# calls itself, or a std::filesystem function that does more than path arithmetic: every call the layer
# makes on files and folders then goes through the seam, where a test can fail or stop it.
# cmake -DNM=<nm> -P SeamOnly.cmake <library>...
cmake_minimum_required(VERSION 3.20)
set(allowed "FileSystemCalls.cpp.o")
# The C library's calls that open, read, write, look at, lock, name, remove or flush files and folders.
# fcntl is not among them: it sets flags of this process's own descriptor and touches no file.
set(fileCalls
    open open64 openat openat64 creat creat64 fopen fopen64 freopen close
    read pread pread64 readv preadv write pwrite pwrite64 writev pwritev
    lseek lseek64 ftruncate ftruncate64 truncate truncate64 fsync fdatasync sync_file_range syncfs
    stat stat64 lstat lstat64 fstat fstat64 fstatat fstatat64 newfstatat statx __xstat __lxstat __fxstat
    __xstat64 __lxstat64 __fxstat64 __fxstatat access faccessat euidaccess eaccess
    opendir fdopendir readdir readdir64 readdir_r closedir scandir scandir64 nftw ftw
    getxattr lgetxattr fgetxattr setxattr lsetxattr fsetxattr listxattr llistxattr flistxattr
    removexattr lremovexattr fremovexattr
    rename renameat renameat2 link linkat symlink symlinkat unlink unlinkat remove rmdir mkdir mkdirat
    mknod mknodat readlink readlinkat realpath canonicalize_file_name
    chmod fchmod fchmodat chown fchown lchown fchownat utime utimes utimensat futimens flock lockf)
list(JOIN fileCalls "|" alternatives)
set(fileCall "^(${alternatives})(@.*)?$")
# std::filesystem's path arithmetic lives in the path class; every other function of it reads or changes
# the disk (status, file_size, directory_iterator, read_symlink, canonical, ...). File streams open files.
set(pathOnly "^std::filesystem::__cxx11::path[:(]")
set(diskCall "^(std::filesystem::|std::basic_(filebuf|ifstream|ofstream|fstream)<)")

set(archives "")
set(past FALSE)
math(EXPR last "${CMAKE_ARGC} - 1")
foreach(n RANGE ${last})
    if(past)
        list(APPEND archives "${CMAKE_ARGV${n}}")
    elseif(CMAKE_ARGV${n} STREQUAL "-P")
        math(EXPR script "${n} + 1")
        set(past "${CMAKE_ARGV${script}}")
    endif()
endforeach()
list(REMOVE_AT archives 0)   # the script itself
if(NOT archives)
    message(FATAL_ERROR "no library to look through")
endif()

set(found "")
foreach(archive IN LISTS archives)
    execute_process(COMMAND "${NM}" -A -u -C "${archive}" OUTPUT_VARIABLE listing RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "${NM} cannot list ${archive}")
    endif()
    string(REPLACE ";" "\\;" listing "${listing}")
    string(REPLACE "\n" ";" lines "${listing}")
    foreach(line IN LISTS lines)
        # "<archive>:<object>:                 U <symbol>"
        if(NOT line MATCHES "^[^:]*:([^:]+): +U (.+)$")
            continue()
        endif()
        set(object "${CMAKE_MATCH_1}")
        set(symbol "${CMAKE_MATCH_2}")
        if(object IN_LIST allowed)
            continue()
        endif()
        if(symbol MATCHES "${fileCall}" OR (symbol MATCHES "${diskCall}" AND NOT symbol MATCHES "${pathOnly}"))
            string(APPEND found "  ${object}: ${symbol}\n")
        endif()
    endforeach()
endforeach()
if(NOT found STREQUAL "")
    message(FATAL_ERROR "file calls made outside the seam (Src/Foundation/FileSystemCalls):\n${found}")
endif()
