# Sourced: test roots, code-signing publishers under them, and signing with osslsigncode. Keys and
# certificates go to $pki_dir, each root's DER certificate (for the Root store) to $cer_dir.
#   make_root NAME "COMMON NAME"
#   make_publisher NAME "COMMON NAME" ROOT
#   sign PUBLISHER INPUT OUTPUT

make_root() {
    openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days 3650 -subj "/CN=$2" \
        -keyout "$pki_dir/$1.key" -out "$pki_dir/$1.pem" \
        -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
    openssl x509 -in "$pki_dir/$1.pem" -outform DER -out "$cer_dir/$1.cer"
}

make_publisher() {
    openssl req -new -newkey rsa:2048 -nodes -sha256 -subj "/CN=$2/O=Corvani Test" \
        -keyout "$pki_dir/$1.key" -out "$pki_dir/$1.csr" 2>/dev/null
    printf '%s\n' "basicConstraints=CA:FALSE" "keyUsage=critical,digitalSignature" \
        "extendedKeyUsage=codeSigning" > "$pki_dir/$1.ext"
    openssl x509 -req -in "$pki_dir/$1.csr" -CA "$pki_dir/$3.pem" -CAkey "$pki_dir/$3.key" -CAcreateserial \
        -days 1825 -sha256 -extfile "$pki_dir/$1.ext" -out "$pki_dir/$1.pem" 2>/dev/null
}

sign() {
    osslsigncode sign -certs "$pki_dir/$1.pem" -key "$pki_dir/$1.key" -h sha256 -n "Halvex" \
        -in "$2" -out "$3" >/dev/null
}
