# Sourced by the run and test scripts: configure and build one tree.
#   build_tree NAME [cmake options...]   builds build/NAME, quietly; the log
#                                        is build/NAME.log, shown on failure

build_tree() {
    name=$1
    shift
    dir="$VINDREL_ROOT/build/$name"
    log="$VINDREL_ROOT/build/$name.log"
    mkdir -p "$VINDREL_ROOT/build"
    echo "build: $name"
    # Compiler messages in English, whatever locale Wine is given.
    if ! { LC_ALL=C.UTF-8 cmake -S "$VINDREL_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release "$@" &&
        LC_ALL=C.UTF-8 cmake --build "$dir" -j "$(nproc)"; } >"$log" 2>&1; then
        tail -n 60 "$log" >&2
        echo "build: $name failed (log: $log)" >&2
        return 1
    fi
}

# The product alone (Vindrel.exe, 32-bit) in a build folder of its own.
#   build_product DIR
build_product() {
    dir=$1
    log="$dir.log"
    mkdir -p "$(dirname "$dir")"
    echo "build: $dir (product)"
    if ! { LC_ALL=C.UTF-8 cmake -S "$VINDREL_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE="$VINDREL_ROOT/cmake/mingw-i686.cmake" &&
        LC_ALL=C.UTF-8 cmake --build "$dir" --target Vindrel -j "$(nproc)"; } >"$log" 2>&1; then
        tail -n 60 "$log" >&2
        echo "build: $dir failed (log: $log)" >&2
        return 1
    fi
}

# The product's tree, and the tree Wine can run on this machine.
build_windows() {
    build_tree win32 -DCMAKE_TOOLCHAIN_FILE="$VINDREL_ROOT/cmake/mingw-i686.cmake" || return 1
    if [ "$VINDREL_WINE_BITS" = 64 ]; then
        build_tree win64 -DCMAKE_TOOLCHAIN_FILE="$VINDREL_ROOT/cmake/mingw-x86_64.cmake" || return 1
        VINDREL_RUN_TREE="$VINDREL_ROOT/build/win64"
    else
        VINDREL_RUN_TREE="$VINDREL_ROOT/build/win32"
    fi
}
