#pragma once

#include <string>

namespace lumo::test {

// A throw-away certificate authority and a server certificate it signed, made when the object is
// created (EC P-256 keys, valid from one hour ago for one day). The server certificate names
// 127.0.0.1 and localhost, so a client that trusts caFile() accepts a LocalHttpServer using it.
// Two objects are two unrelated authorities: a client trusting one rejects the other's server.
//
// caFile() is a PEM file in a private temporary folder that the destructor removes.
// Immutable after construction; const members are safe from any thread.
class TestCertificate {
public:
    TestCertificate();
    ~TestCertificate();
    TestCertificate(const TestCertificate&) = delete;
    TestCertificate& operator=(const TestCertificate&) = delete;

    // Path of the authority's certificate (PEM), for the client's list of trusted authorities.
    const std::string& caFile() const { return caFile_; }

    // The server's certificate and private key, PEM.
    const std::string& serverCertificatePem() const { return serverCertificatePem_; }
    const std::string& serverKeyPem() const { return serverKeyPem_; }

private:
    std::string folder_;
    std::string caFile_;
    std::string serverCertificatePem_;
    std::string serverKeyPem_;
};

}  // namespace lumo::test
