#include "support/TestCertificate.h"

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>

namespace lumo::test {
namespace {

struct KeyFree {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct CertFree {
    void operator()(X509* cert) const { X509_free(cert); }
};
struct BioFree {
    void operator()(BIO* bio) const { BIO_free(bio); }
};
using KeyPtr = std::unique_ptr<EVP_PKEY, KeyFree>;
using CertPtr = std::unique_ptr<X509, CertFree>;
using BioPtr = std::unique_ptr<BIO, BioFree>;

void require(bool ok, const char* what) {
    if (!ok) throw std::runtime_error(std::string("test certificate: ") + what);
}

KeyPtr newKey() {
    KeyPtr key(EVP_EC_gen("P-256"));
    require(key != nullptr, "key generation failed");
    return key;
}

void addExtension(X509* cert, X509* issuer, int nid, const char* value) {
    X509V3_CTX ctx;
    X509V3_set_ctx_nodb(&ctx);
    X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
    X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value);
    require(ext != nullptr, "bad extension");
    X509_add_ext(cert, ext, -1);
    X509_EXTENSION_free(ext);
}

// A certificate for `subjectName` holding `key`, signed by `issuerKey` (self-signed when `issuer`
// is null).
CertPtr newCertificate(const char* subjectName, EVP_PKEY* key, X509* issuer, EVP_PKEY* issuerKey,
                       long serial, bool authority) {
    CertPtr cert(X509_new());
    require(cert != nullptr, "X509_new failed");
    X509_set_version(cert.get(), 2);
    ASN1_INTEGER_set(X509_get_serialNumber(cert.get()), serial);
    X509_gmtime_adj(X509_getm_notBefore(cert.get()), -3600);
    X509_gmtime_adj(X509_getm_notAfter(cert.get()), 24 * 3600);
    X509_set_pubkey(cert.get(), key);
    X509_NAME* name = X509_get_subject_name(cert.get());
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>(subjectName), -1, -1, 0);
    X509_set_issuer_name(cert.get(), issuer ? X509_get_subject_name(issuer) : name);
    X509* issuerCert = issuer ? issuer : cert.get();
    if (authority) {
        addExtension(cert.get(), issuerCert, NID_basic_constraints, "critical,CA:TRUE");
        addExtension(cert.get(), issuerCert, NID_key_usage, "critical,keyCertSign,cRLSign");
        addExtension(cert.get(), issuerCert, NID_subject_key_identifier, "hash");
    } else {
        addExtension(cert.get(), issuerCert, NID_basic_constraints, "critical,CA:FALSE");
        addExtension(cert.get(), issuerCert, NID_key_usage, "critical,digitalSignature");
        addExtension(cert.get(), issuerCert, NID_ext_key_usage, "serverAuth");
        addExtension(cert.get(), issuerCert, NID_subject_alt_name, "IP:127.0.0.1,DNS:localhost");
        addExtension(cert.get(), issuerCert, NID_authority_key_identifier, "keyid:always");
    }
    require(X509_sign(cert.get(), issuerKey, EVP_sha256()) > 0, "signing failed");
    return cert;
}

std::string bioText(BIO* bio) {
    char* data = nullptr;
    long size = BIO_get_mem_data(bio, &data);
    return std::string(data, static_cast<std::size_t>(size));
}

std::string certificatePem(X509* cert) {
    BioPtr bio(BIO_new(BIO_s_mem()));
    require(PEM_write_bio_X509(bio.get(), cert) == 1, "PEM_write_bio_X509 failed");
    return bioText(bio.get());
}

std::string keyPem(EVP_PKEY* key) {
    BioPtr bio(BIO_new(BIO_s_mem()));
    require(PEM_write_bio_PrivateKey(bio.get(), key, nullptr, nullptr, 0, nullptr, nullptr) == 1,
            "PEM_write_bio_PrivateKey failed");
    return bioText(bio.get());
}

}  // namespace

TestCertificate::TestCertificate() {
    KeyPtr caKey = newKey();
    CertPtr ca = newCertificate("Lumo Test Authority", caKey.get(), nullptr, caKey.get(), 1, true);
    KeyPtr serverKey = newKey();
    CertPtr server = newCertificate("127.0.0.1", serverKey.get(), ca.get(), caKey.get(), 2, false);
    serverCertificatePem_ = certificatePem(server.get());
    serverKeyPem_ = keyPem(serverKey.get());

    std::string pattern = (std::filesystem::temp_directory_path() / "lumo-test-ca-XXXXXX").string();
    require(mkdtemp(pattern.data()) != nullptr, "mkdtemp failed");
    folder_ = pattern;
    caFile_ = folder_ + "/ca.pem";
    std::ofstream out(caFile_, std::ios::binary);
    out << certificatePem(ca.get());
    require(static_cast<bool>(out), "cannot write the CA file");
}

TestCertificate::~TestCertificate() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

}  // namespace lumo::test
